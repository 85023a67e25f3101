#include "base/unique_fd.h"
#include "settings/profile_file.h"
#include "settings/whole_file.h"
#include "support/temp_tree.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellick;
namespace fs = std::filesystem;

namespace {

constexpr int kSkipped = 77;

// Runs a check in a child process (for what must not touch the test process: another user, another
// mount namespace) and returns its exit code, 0 meaning success.
int inChild(const std::function<int()>& check)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(check());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The id of a process that has ended and been reaped.
pid_t goneProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

std::size_t entriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Something that is no regular file: loading must not block on it and saving must leave it, and its
// folder, exactly as they were.
void expectSaveRefused(const std::string& path, const std::string& folder)
{
    const auto before = fs::status(path);
    const std::size_t entries = entriesIn(folder);
    ProfileFile file(path);
    file.load();
    EXPECT_EQ(file.getInt("Settings", "maxkeys", 42), 42);
    file.setInt("Settings", "maxkeys", 5);
    EXPECT_FALSE(file.save());
    EXPECT_EQ(fs::status(path).type(), before.type());
    EXPECT_EQ(fs::status(path).permissions(), before.permissions());
    EXPECT_EQ(entriesIn(folder), entries) << "a temporary file was left behind";
}

} // namespace

TEST(WholeFile, OddThingsInPlaceOfTheFileAreLeftAlone)
{
    test::TempTree tree;
    tree.makeFolder("folder/vellick.ini");
    expectSaveRefused(tree.path("folder/vellick.ini"), tree.path("folder"));

    tree.makeFolder("fifo");
    ASSERT_EQ(mkfifo(tree.path("fifo/vellick.ini").c_str(), 0600), 0);
    expectSaveRefused(tree.path("fifo/vellick.ini"), tree.path("fifo"));

    // Read-only, also for root: the rename would get round it, so the write bits are asked.
    const std::string readOnly = tree.write("ro/vellick.ini", "[Settings]\nmaxkeys=3\n; mine\n");
    chmod(readOnly.c_str(), 0444);
    ProfileFile file(readOnly);
    file.load();
    file.setInt("Settings", "maxkeys", 5);
    EXPECT_FALSE(file.save());
    EXPECT_EQ(test::readFile(readOnly), "[Settings]\nmaxkeys=3\n; mine\n");
    EXPECT_EQ(entriesIn(tree.path("ro")), 1u);
}

TEST(WholeFile, UnreadableFileIsNotReplacedByDefaults)
{
    test::TempTree tree;
    const std::string path = tree.write("vellick.ini", "[Settings]\nkeys1=secret\n");
    chmod(path.c_str(), 0200);
    chmod(tree.root().c_str(), 0777);
    const int result = inChild([&] {
        // Root reads everything: become nobody first.
        if (geteuid() == 0 && (chown(path.c_str(), 65534, 65534) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            return kSkipped;
        ProfileFile file(path);
        if (file.load() != FileReadStatus::Unusable)
            return 1;
        file.setString("Settings", "keys1", "x");
        return file.save() ? 2 : 0;
    });
    if (result == kSkipped)
        GTEST_SKIP() << "cannot switch to another user";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(test::readFile(path), "[Settings]\nkeys1=secret\n");
}

TEST(WholeFile, ReplaceKeepsModeAndLinks)
{
    test::TempTree tree;
    const std::string real = tree.write("dotfiles/vellick.ini", "[Settings]\n");
    chmod(real.c_str(), 0640);
    fs::create_directories(tree.path("config"));
    fs::create_symlink(real, tree.path("config/vellick.ini"));
    ASSERT_TRUE(ProfileFile(tree.path("config/vellick.ini")).writeString("Settings", "k", "v"));
    EXPECT_TRUE(fs::is_symlink(tree.path("config/vellick.ini")));
    EXPECT_EQ(test::readFile(real), "[Settings]\nk=v\n");
    EXPECT_EQ(fs::status(real).permissions(), static_cast<fs::perms>(0640));

    // A missing file is created with its missing folders, private to the user.
    ASSERT_TRUE(ProfileFile(tree.path("new/vellick/vellick.ini")).writeString("Settings", "k", "v"));
    EXPECT_EQ(fs::status(tree.path("new/vellick")).permissions(), fs::perms::owner_all);
}

// A child saves a large file over and over; killed at random moments, it must leave the old or the new
// content in full, never a torn or empty file.
TEST(WholeFile, KillDuringSaveLeavesOldOrNewFile)
{
    test::TempTree tree;
    const std::string path = tree.path("vellick.ini");
    const auto contentWith = [](char letter) {
        IniDocument document("; keep me\n[Settings]\nmaxkeys=5\n");
        document.set("Settings", "keys1", std::string(2u << 20, letter));
        return document.text();
    };
    const std::string a = contentWith('a');
    const std::string b = contentWith('b');
    ASSERT_TRUE(replaceWholeFile(path, a));
    std::mt19937 random(3);
    for (int round = 0; round < 25; ++round) {
        int saved[2];
        ASSERT_EQ(pipe(saved), 0);
        const pid_t child = fork();
        if (child == 0) {
            for (;;) {
                ProfileFile file(path);
                file.load();
                const bool wasA = file.getString("Settings", "keys1", "", 1) == "a";
                file.setString("Settings", "keys1", std::string(2u << 20, wasA ? 'b' : 'a'));
                if (!file.save() || write(saved[1], "s", 1) != 1)
                    _exit(1);
            }
        }
        close(saved[1]);
        char byte = 0;
        ASSERT_EQ(read(saved[0], &byte, 1), 1) << "the child could not save";
        usleep(static_cast<useconds_t>(random() % 30000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(saved[0]);
        const std::string content = test::readFile(path);
        ASSERT_TRUE(content == a || content == b) << "torn file of " << content.size() << " bytes";
    }
    // The killed writers' temporary files go with the next save.
    ASSERT_TRUE(replaceWholeFile(path, a));
    EXPECT_EQ(entriesIn(tree.root()), 1u);
}

// Only temporary files of this very file that no writer holds locked are removed; anything named even
// slightly differently, not a regular file, or locked by a live writer is left alone, whatever process id
// its name carries (a writer in another PID namespace or on another host has an id that means nothing here).
TEST(WholeFile, SaveRemovesOnlyTemporariesNoWriterHolds)
{
    test::TempTree tree;
    const std::string path = tree.write("vellick.ini", "[Settings]\n");
    const std::string gone = std::to_string(goneProcess());
    const std::vector<std::string> kept { "vellick.ini." + gone + "-0-1.tmp", ".vellick.ini." + gone + "-0-1.tmp.bak",
        ".other.ini." + gone + "-0-1.tmp", ".vellick.ini." + gone + "-x-1.tmp", ".vellick.ini." + gone + "-0.tmp",
        ".vellick.ini.0" + gone + "-0-1.tmp", ".vellick.ini.-" + gone + "-0-1.tmp", ".vellick.in." + gone + "-0-1.tmp",
        ".vellick.ini.99999999999999999999x-0-1.tmp" };
    for (const std::string& name : kept)
        tree.write(name, "x");
    tree.makeFolder(".vellick.ini." + gone + "-1-1.tmp");
    tree.write(".vellick.ini." + gone + "-0-123456789.tmp", "left by a killed writer");
    tree.write(".vellick.ini." + std::to_string(getpid()) + "-17-0.tmp", "and another, of a process id in use");
    // A live writer whose process id is of no use here: the file is locked.
    const std::string live = tree.write(".vellick.ini." + gone + "-5-5.tmp", "being written");
    const UniqueFd liveWriter(open(live.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(flock(liveWriter.get(), LOCK_EX), 0);

    ASSERT_TRUE(ProfileFile(path).writeString("Settings", "k", "v"));
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(tree.path(name))) << name;
    EXPECT_TRUE(fs::is_directory(tree.path(".vellick.ini." + gone + "-1-1.tmp")));
    EXPECT_EQ(test::readFile(live), "being written");
    EXPECT_EQ(entriesIn(tree.root()), kept.size() + 3);
}

// A name so long that the temporary name would pass the longest name the folder takes: the temporary
// file gets a shortened name, the file is replaced, and a later writer still knows the leftovers.
TEST(WholeFile, LongNameGetsAShorterTemporaryName)
{
    test::TempTree tree;
    const std::string name(249, 'n');
    const std::string path = tree.write(name, "old");
    ASSERT_TRUE(replaceWholeFile(path, "new"));
    EXPECT_EQ(test::readFile(path), "new");
    EXPECT_EQ(entriesIn(tree.root()), 1u);

    const std::string leftover = "." + name.substr(0, 255 - 2 - 7 - 4) + ".1-2-345.tmp";
    tree.write(leftover, "left by a killed writer");
    ASSERT_TRUE(replaceWholeFile(path, "newer"));
    EXPECT_EQ(test::readFile(path), "newer");
    EXPECT_EQ(entriesIn(tree.root()), 1u);
}

// Needs root and a private mount namespace for a small tmpfs; skipped where that is not allowed.
TEST(WholeFile, FullDiskLeavesOldFile)
{
    test::TempTree tree;
    const std::string disk = tree.makeFolder("disk");
    const std::string path = disk + "/vellick.ini";
    const int result = inChild([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            return kSkipped;
        if (!ProfileFile(path).writeString("Settings", "maxkeys", "3"))
            return 1;
        {
            const UniqueFd filler(open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0600));
            const std::string block(4096, 'f');
            while (write(filler.get(), block.data(), block.size()) > 0) { }
        }
        if (ProfileFile(path).writeString("Settings", "keys1", std::string(20000, 'k')))
            return 2;
        if (test::readFile(path) != "[Settings]\nmaxkeys=3\n" || entriesIn(disk) != 2)
            return 3;
        unlink((disk + "/filler").c_str());
        return ProfileFile(path).writeString("Settings", "keys1", std::string(20000, 'k')) ? 0 : 4;
    });
    if (result == kSkipped)
        GTEST_SKIP() << "no private mount namespace (needs root): full-disk case not run";
    EXPECT_EQ(result, 0) << "1: first write, 2: write on a full disk reported success, 3: old file damaged "
                            "or a temporary file left, 4: write after freeing space";
}
