#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/trash_info.h"
#include "support/private_xdg.h"

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellick {
namespace {

using test::PrivateXdg;
using test::readFile;
using test::shellOutput;
using test::shellQuoted;

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string trashList(const PrivateXdg& xdg)
{
    return shellOutput("XDG_DATA_HOME=" + shellQuoted(xdg.dataHome()) + " trash-list 2>&1");
}

// Runs `body` in a child process with its own mount table, so that it may mount file systems freely.
// The body returns an empty text on success, else what went wrong. Skips where mounting is not allowed.
void inPrivateMounts(const std::function<std::string()>& body)
{
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string message = "skip";
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
            message = body();
        [[maybe_unused]] const auto written = ::write(pipeFds[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    if (message == "skip")
        GTEST_SKIP() << "this machine does not allow private mounts";
    EXPECT_EQ(message, "");
}

TEST(TrashInfoTest, PathIsPercentEncodedAndDateIsLocal)
{
    EXPECT_EQ(percentEncodePath("/home/a b/100%/x\xff.txt"), "/home/a%20b/100%25/x%FF.txt");
    EXPECT_EQ(percentEncodePath("/a-b_c.d!~*'()"), "/a-b_c.d!~*'()");
    // TZ=UTC in the tests: 4 July 1999 14:05:09.
    EXPECT_EQ(trashInfoText("/tmp/a", 931097109), "[Trash Info]\nPath=/tmp/a\nDeletionDate=1999-07-04T14:05:09\n");
}

TEST(TrashInfoTest, EntryNamesAreNumberedAndFitAFileName)
{
    EXPECT_EQ(trashEntryName("report.txt", 1), "report.txt");
    EXPECT_EQ(trashEntryName("report.txt", 2), "report_2.txt");
    EXPECT_EQ(trashEntryName("Makefile", 3), "Makefile_3");
    EXPECT_EQ(trashEntryName(".profile", 2), ".profile_2");
    const std::string longName = std::string(250, 'n') + ".txt";
    EXPECT_EQ(trashEntryName(longName, 12).size() + std::string(".trashinfo").size(), 255u);
    EXPECT_TRUE(trashEntryName(longName, 12).ends_with("_12.txt"));
}

TEST(FreedesktopTrashTest, FreshDataHomeIsMadeAndTrashListSeesTheFile)
{
    PrivateXdg xdg;
    const std::string file = xdg.tree().write("work/notes and 100%.txt", "keep me\n");
    FreedesktopTrash trash;
    ASSERT_TRUE(trash.moveToTrash(file).ok());

    EXPECT_FALSE(test::pathExists(file));
    const std::string trashDir = xdg.dataHome() + "/Trash";
    EXPECT_EQ(readFile(trashDir + "/files/notes and 100%.txt"), "keep me\n");
    const std::string info = readFile(trashDir + "/info/notes and 100%.txt.trashinfo");
    EXPECT_NE(info.find("Path=" + percentEncodePath(file) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos) << info;
    EXPECT_FALSE(test::pathExists(xdg.tree().path("work/.local"))) << "nothing may land beside the file";
    EXPECT_NE(trashList(xdg).find(file), std::string::npos) << trashList(xdg);
}

TEST(FreedesktopTrashTest, SameNamesGetNumberedEntriesAndRestoreToTheirFolders)
{
    PrivateXdg xdg;
    const std::string first = xdg.tree().write("one/a.txt", "first\n");
    const std::string second = xdg.tree().write("two/a.txt", "second\n");
    FreedesktopTrash trash;
    ASSERT_TRUE(trash.moveToTrash(first).ok());
    ASSERT_TRUE(trash.moveToTrash(second).ok());
    EXPECT_EQ(readFile(xdg.dataHome() + "/Trash/files/a_2.txt"), "second\n");
    const std::string listed = trashList(xdg);
    EXPECT_NE(listed.find(first), std::string::npos) << listed;
    EXPECT_NE(listed.find(second), std::string::npos) << listed;

    // trash-restore offers the files trashed below the current folder; "0" picks the only one.
    shellOutput("cd " + shellQuoted(xdg.tree().path("two"))
        + " && echo 0 | XDG_DATA_HOME=" + shellQuoted(xdg.dataHome()) + " trash-restore 2>&1");
    EXPECT_EQ(readFile(second), "second\n");
    EXPECT_FALSE(test::pathExists(xdg.dataHome() + "/Trash/info/a_2.txt.trashinfo"));
    EXPECT_TRUE(test::pathExists(xdg.dataHome() + "/Trash/files/a.txt"));
}

TEST(FreedesktopTrashTest, NamesThatAreNotUtf8AndSymbolicLinksGoAsTheyAre)
{
    PrivateXdg xdg;
    const std::string odd = xdg.tree().write("caf\xe9.txt", "latin-1 name\n");
    const std::string target = xdg.tree().write("target.txt", "target\n");
    const std::string link = xdg.tree().path("link.txt");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    FreedesktopTrash trash;
    ASSERT_TRUE(trash.moveToTrash(odd).ok());
    ASSERT_TRUE(trash.moveToTrash(link).ok());
    EXPECT_EQ(readFile(xdg.dataHome() + "/Trash/files/caf\xe9.txt"), "latin-1 name\n");
    EXPECT_EQ(readFile(target), "target\n") << "the link goes, not what it points at";
    EXPECT_NE(readFile(xdg.dataHome() + "/Trash/info/caf\xe9.txt.trashinfo").find("caf%E9.txt"), std::string::npos);
}

TEST(FreedesktopTrashTest, AMissingFileFailsWithItsReason)
{
    PrivateXdg xdg;
    FreedesktopTrash trash;
    const ShellResult result = trash.moveToTrash(xdg.tree().path("gone.txt"));
    EXPECT_EQ(result.status, ShellResult::Status::Failed);
    EXPECT_NE(result.reason.find("No such file or directory"), std::string::npos) << result.reason;
    EXPECT_FALSE(test::pathExists(xdg.dataHome() + "/Trash/info/gone.txt.trashinfo"));
}

TEST(FreedesktopTrashTest, FilesOnOtherMountsGoToThatMountsTrash)
{
    PrivateXdg xdg;
    const std::string mountPoint = xdg.tree().makeFolder("volume");
    inPrivateMounts([&]() -> std::string {
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "mode=0755") != 0)
            return "cannot mount tmpfs";
        const std::string file = mountPoint + "/docs/plan.txt";
        ::mkdir((mountPoint + "/docs").c_str(), 0755);
        writeFile(file, "plan\n");
        FreedesktopTrash trash;
        if (const ShellResult result = trash.moveToTrash(file); !result.ok())
            return "trash failed: " + result.reason;
        const std::string uidTrash = mountPoint + "/.Trash-" + std::to_string(::getuid());
        if (readFile(uidTrash + "/files/plan.txt") != "plan\n")
            return "not in " + uidTrash;
        if (readFile(uidTrash + "/info/plan.txt.trashinfo").find("\nPath=docs/plan.txt\n") == std::string::npos)
            return "Path= is not relative to the mount: " + readFile(uidTrash + "/info/plan.txt.trashinfo");
        if (test::pathExists(xdg.dataHome() + "/Trash/files/plan.txt"))
            return "copied to the home Trash";
        if (shellOutput("trash-list 2>&1").find(file) == std::string::npos)
            return "trash-list does not see " + file;

        // An administrator's sticky .Trash takes precedence.
        ::mkdir((mountPoint + "/.Trash").c_str(), 01777);
        ::chmod((mountPoint + "/.Trash").c_str(), 01777);
        const std::string second = mountPoint + "/docs/second.txt";
        writeFile(second, "second\n");
        if (const ShellResult result = trash.moveToTrash(second); !result.ok())
            return "second trash failed: " + result.reason;
        if (readFile(mountPoint + "/.Trash/" + std::to_string(::getuid()) + "/files/second.txt") != "second\n")
            return "not in the shared .Trash";
        return {};
    });
}

TEST(FreedesktopTrashTest, AFileOnAReadOnlyMountStaysWhereItWas)
{
    PrivateXdg xdg;
    const std::string file = xdg.tree().write("locked/keep.txt", "keep\n");
    const std::string folder = xdg.tree().path("locked");
    inPrivateMounts([&]() -> std::string {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0
            || ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return "cannot make a read-only bind mount";
        FreedesktopTrash trash;
        const ShellResult result = trash.moveToTrash(file);
        if (result.status != ShellResult::Status::Failed || result.reason.empty())
            return "no failure with a reason";
        if (readFile(file) != "keep\n")
            return "the file moved: " + result.reason;
        if (test::pathExists(xdg.dataHome() + "/Trash/info/keep.txt.trashinfo"))
            return "an info file was left behind";
        return {};
    });
}

} // namespace
} // namespace vellick
