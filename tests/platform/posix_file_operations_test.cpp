#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "support/temp_tree.h"

#include <deque>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellick {
namespace {

using test::readFile;
using test::TempTree;

// Answers the replace question from a list and remembers what was asked.
class ScriptedQuestion : public ReplaceQuestion {
public:
    explicit ScriptedQuestion(std::deque<ReplaceAnswer> answers)
        : m_answers(std::move(answers))
    {
    }
    ReplaceAnswer askReplace(const std::string& target) override
    {
        asked.push_back(target);
        if (m_answers.empty())
            return ReplaceAnswer::Cancel;
        const ReplaceAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::vector<std::string> asked;

private:
    std::deque<ReplaceAnswer> m_answers;
};

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (dirent* entry = dir ? ::readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    if (dir)
        ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PosixFileRenamerTest, RenamesButNeverReplaces)
{
    TempTree tree;
    const std::string from = tree.write("old.txt", "old\n");
    const std::string other = tree.write("other.txt", "other\n");
    PosixFileRenamer renamer;

    const ShellResult refused = renamer.rename(from, other);
    EXPECT_EQ(refused.status, ShellResult::Status::Failed);
    EXPECT_NE(refused.reason.find("already exists"), std::string::npos) << refused.reason;
    EXPECT_EQ(readFile(from), "old\n");
    EXPECT_EQ(readFile(other), "other\n");

    ASSERT_TRUE(renamer.rename(from, tree.path("new \xff name.txt")).ok());
    EXPECT_EQ(readFile(tree.path("new \xff name.txt")), "old\n");
    EXPECT_EQ(readFile(from), "");

    const ShellResult missing = renamer.rename(from, tree.path("x.txt"));
    EXPECT_NE(missing.reason.find("No such file or directory"), std::string::npos) << missing.reason;
}

TEST(PosixFileCopierTest, CopyKeepsContentModeAndTimeAndLeavesNoTemporaryFile)
{
    TempTree tree;
    const std::string source = tree.write("src/data.bin", std::string("a\0b\xff", 4));
    ::chmod(source.c_str(), 0640);
    tree.setModified("src/data.bin", 931097109);
    tree.makeFolder("dst");
    PosixFileCopier copier;
    ScriptedQuestion question({});
    ReplaceDecision replace(question);

    ASSERT_TRUE(copier.copyFile(source, tree.path("dst/copy.bin"), replace).ok());
    struct stat info { };
    ASSERT_EQ(::stat(tree.path("dst/copy.bin").c_str(), &info), 0);
    EXPECT_EQ(readFile(tree.path("dst/copy.bin")), std::string("a\0b\xff", 4));
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_mtime, 931097109);
    EXPECT_EQ(namesIn(tree.path("dst")), std::vector<std::string> { "copy.bin" });
    EXPECT_TRUE(question.asked.empty());
}

TEST(PosixFileCopierTest, ReplacingAsksAndHonoursEachAnswer)
{
    TempTree tree;
    const std::vector<std::string> sources { tree.write("src/a.txt", "new a"), tree.write("src/b.txt", "new b"),
        tree.write("src/c.txt", "new c"), tree.write("src/d.txt", "new d") };
    for (const char* name : { "a.txt", "b.txt", "c.txt", "d.txt" })
        tree.write(std::string("dst/") + name, "old");
    PosixFileCopier copier;

    ScriptedQuestion question({ ReplaceAnswer::No, ReplaceAnswer::Yes, ReplaceAnswer::Cancel });
    ReplaceDecision replace(question);
    EXPECT_TRUE(copier.copyToFolder(sources, tree.path("dst"), replace).wasCancelled());
    EXPECT_EQ(readFile(tree.path("dst/a.txt")), "old");
    EXPECT_EQ(readFile(tree.path("dst/b.txt")), "new b");
    EXPECT_EQ(readFile(tree.path("dst/c.txt")), "old");
    EXPECT_EQ(readFile(tree.path("dst/d.txt")), "old") << "nothing after Cancel";
    EXPECT_EQ(question.asked.size(), 3u);

    ScriptedQuestion all({ ReplaceAnswer::YesToAll });
    ReplaceDecision replaceAll(all);
    EXPECT_TRUE(copier.copyToFolder({ sources[0], sources[2] }, tree.path("dst"), replaceAll).ok());
    EXPECT_TRUE(copier.copyToFolder({ sources[3] }, tree.path("dst"), replaceAll).ok());
    EXPECT_EQ(all.asked.size(), 1u) << "Yes to All holds for the whole command";
    EXPECT_EQ(readFile(tree.path("dst/a.txt")), "new a");
    EXPECT_EQ(readFile(tree.path("dst/d.txt")), "new d");
    EXPECT_EQ(namesIn(tree.path("dst")).size(), 4u);
}

TEST(PosixFileCopierTest, FailuresStopTheBatchAndLoseNothing)
{
    TempTree tree;
    const std::string good = tree.write("src/good.txt", "good");
    const std::string later = tree.write("src/later.txt", "later");
    tree.write("dst/later.txt", "old later");
    PosixFileCopier copier;
    ScriptedQuestion question({ ReplaceAnswer::Yes });
    ReplaceDecision replace(question);

    const ShellResult result
        = copier.copyToFolder({ good, tree.path("src/missing.txt"), later }, tree.path("dst"), replace);
    EXPECT_EQ(result.status, ShellResult::Status::Failed);
    EXPECT_NE(result.reason.find("missing.txt"), std::string::npos) << result.reason;
    EXPECT_EQ(readFile(tree.path("dst/good.txt")), "good");
    EXPECT_EQ(readFile(tree.path("dst/later.txt")), "old later");

    EXPECT_EQ(copier.copyFile(good, good, replace).reason, "File cannot be copied to itself.");
    EXPECT_EQ(readFile(good), "good");
    EXPECT_EQ(copier.copyFile(good, tree.path("dst"), replace).status, ShellResult::Status::Failed);

    if (::geteuid() != 0) { // root writes into read-only folders anyway
        ::chmod(tree.path("dst").c_str(), 0555);
        EXPECT_EQ(copier.copyFile(later, tree.path("dst/later.txt"), replace).status, ShellResult::Status::Failed);
        ::chmod(tree.path("dst").c_str(), 0755);
    }
    EXPECT_EQ(namesIn(tree.path("dst")), (std::vector<std::string> { "good.txt", "later.txt" }));
}

} // namespace
} // namespace vellick
