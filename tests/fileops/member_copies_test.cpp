// Members of archives for Open and Copy To: extracted only into the private folder, whatever their paths
// say; never renamed or sent to the Trash (their path is the archive's).
#include "documents/test_archives.h"
#include "fileops/copy_files.h"
#include "fileops/delete_files.h"
#include "fileops/member_copies.h"
#include "fileops/rename_rules.h"
#include "platform/file_renamer.h"
#include "platform/trash_service.h"
#include "results/vellick_doc.h"
#include "support/temp_tree.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellick {
namespace {

using test::buildArchive;
using test::TempTree;

constexpr long long kSearchTime = 1000000000;

// Every path in the tree, relative to its root.
std::vector<std::string> treeListing(const std::string& root)
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        paths.push_back(std::filesystem::relative(entry.path(), root).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

unsigned modeOf(const std::string& path)
{
    struct stat status { };
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(MemberCopiesTest, ExtractsOnlyIntoThePrivateFolderUnderSafeNamesAndRemovesItAtTheEnd)
{
    TempTree tree;
    const std::vector<test::ArchiveEntry> entries { { "../../escape.txt", "up" }, { "/abs/rooted.txt", "rooted" },
        { "docs/ok.txt", "fine" }, { "again/ok.txt", "same name" }, { "docs/..", "dots" } };
    tree.write("box.tar", buildArchive(test::ArchiveFormat::Tar, entries));
    tree.setModified("box.tar", kSearchTime);
    tree.makeFolder("private");
    const test::ReadResult read = test::readAll(test::readFile(tree.path("box.tar")), ContainerKind::Archive);
    ASSERT_FALSE(read.members.empty());

    std::string folder;
    {
        MemberCopies copies(tree.path("private"));
        for (const test::ReadMember& member : read.members) {
            CLine line(tree.path("box.tar"));
            line.setInside(ContainerKind::Archive, member.path, { 0, kSearchTime, 0 }, false);
            for (const bool readOnly : { true, false }) {
                const MemberCopies::Copy copy = copies.extract(line, readOnly);
                ASSERT_FALSE(copy.path.empty()) << member.path << ": " << copy.error;
                folder = copies.folder();
                EXPECT_EQ(copy.path.rfind(folder + "/", 0), 0U) << copy.path;
                const std::filesystem::path canonical = std::filesystem::weakly_canonical(copy.path);
                EXPECT_EQ(canonical.parent_path().parent_path(), std::filesystem::path(folder)) << copy.path;
                EXPECT_EQ(test::readFile(copy.path), member.content) << member.path;
                EXPECT_EQ(modeOf(copy.path), readOnly ? 0400U : 0600U) << copy.path;
            }
        }
        EXPECT_EQ(modeOf(folder), 0700U);
        // Nothing was written beside the archive or anywhere else in the tree.
        for (const std::string& path : treeListing(tree.root()))
            EXPECT_TRUE(path == "box.tar" || path.rfind("private", 0) == 0) << path;
    }
    EXPECT_FALSE(test::pathExists(folder));

    EXPECT_EQ(memberCopyName("a/b.txt"), "b.txt");
    EXPECT_EQ(memberCopyName("a/.."), "member");
    EXPECT_EQ(memberCopyName("a/"), "member");
}

TEST(MemberCopiesTest, AChangedArchiveOrAGoneMemberGivesAMessageAndNoCopy)
{
    TempTree tree;
    tree.write("box.zip", buildArchive(test::ArchiveFormat::Zip, { { "a.txt", "alpha" } }));
    tree.setModified("box.zip", kSearchTime + 5);
    MemberCopies copies(tree.path(""));
    CLine line(tree.path("box.zip"));
    line.setInside(ContainerKind::Archive, "a.txt", { 0, kSearchTime, 0 }, false);
    EXPECT_NE(copies.extract(line, true).error.find("modified since last searching"), std::string::npos);
    tree.setModified("box.zip", kSearchTime);
    line.setInside(ContainerKind::Archive, "b.txt", { 0, kSearchTime, 0 }, false);
    EXPECT_EQ(copies.extract(line, true).error, "Can not extract \"" + line.shownPath() + "\".");
}

class RecordingTrash : public TrashService {
public:
    ShellResult moveToTrash(const std::string& path) override
    {
        trashed.push_back(path);
        return ShellResult::done();
    }
    std::vector<std::string> trashed;
};

class RecordingRenamer : public FileRenamer {
public:
    ShellResult rename(const std::string& from, const std::string&) override
    {
        renamed.push_back(from);
        return ShellResult::done();
    }
    std::vector<std::string> renamed;
};

class SourcesCopier : public FileCopier {
public:
    ShellResult copyFile(const std::string&, const std::string&, ReplaceDecision&) override
    {
        return ShellResult::done();
    }
    ShellResult copyToFolder(const std::vector<std::string>& sources, const std::string&, ReplaceDecision&) override
    {
        for (const std::string& source : sources)
            copied.emplace_back(std::filesystem::path(source).filename().string(), test::readFile(source));
        return ShellResult::done();
    }
    std::vector<std::pair<std::string, std::string>> copied; // name, content
};

class NoQuestion : public ReplaceQuestion {
    ReplaceAnswer askReplace(const std::string&) override { return ReplaceAnswer::Cancel; }
};

TEST(MemberCopiesTest, DeleteAndRenameLeaveMembersAndCopyToFolderCopiesTheirContent)
{
    TempTree tree;
    tree.write("box.zip", buildArchive(test::ArchiveFormat::Zip, { { "in/a.txt", "alpha" } }));
    tree.setModified("box.zip", kSearchTime);
    const std::string plain = tree.write("plain.txt", "alpha");
    CVellickDoc doc;
    const int member
        = doc.addRecord(tree.path("box.zip"), FileKind::Text, FileStatus { 5, kSearchTime, 0 }, "in/a.txt");
    doc.record(member).setInside(ContainerKind::Archive, "in/a.txt", { 0, kSearchTime, 0 }, false);
    const int document = doc.addRecord(plain, FileKind::Text, FileStatus {});
    doc.record(document).setInside(ContainerKind::Pdf, "", {}, false); // a document acts as its file
    doc.record(member).checked = true;
    doc.setCurrent(document);

    MemberCopies copies(tree.root());
    SourcesCopier copier;
    NoQuestion question;
    ReplaceDecision replace(question);
    EXPECT_TRUE(copyTakenToFolder(doc, "/dst", copier, replace, &copies).stoppedBy.ok());
    EXPECT_EQ(copier.copied,
        (std::vector<std::pair<std::string, std::string>> { { "a.txt", "alpha" }, { "plain.txt", "alpha" } }));

    RecordingRenamer renamer;
    EXPECT_EQ(renameRow(doc, 0, "other.txt", renamer).step, RenameStep::Ignored);
    EXPECT_EQ(renameRow(doc, 1, "other.txt", renamer).step, RenameStep::Renamed);
    EXPECT_EQ(renamer.renamed, std::vector<std::string> { plain });

    RecordingTrash trash;
    EXPECT_EQ(deleteTakenFiles(doc, trash).deleted, 1);
    EXPECT_EQ(trash.trashed, std::vector<std::string> { tree.path("other.txt") });
    EXPECT_EQ(doc.rowCount(), 1); // the member's row stays
}

} // namespace
} // namespace vellick
