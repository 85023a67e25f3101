// Reports to targets that cannot take them: a folder or a file the user may not write ("Open file
// failed.", nothing written, an old file left as it was), a read-only file system, and a full disk (never
// reported as success; the incomplete report is removed). The file systems are small tmpfs mounts in a
// private mount namespace (unshare -m), which needs root; those parts are skipped otherwise.
#include "support/process_runner.h"
#include "support/temp_tree.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellick::test;

namespace {

constexpr const char* kUnshare = "/usr/bin/unshare";

class ReportTargetsTest : public testing::Test {
protected:
    ReportTargetsTest()
    {
        ::chmod(m_tree.root().c_str(), 0755);
        std::string lines;
        for (int i = 0; i < 2000; ++i)
            lines += "needle number " + std::to_string(i) + " " + std::string(100, 'x') + "\n";
        m_tree.write("docs/many.txt", lines); // 1024 hits: a report of about 130 KB with their surrounding text
        ::chmod(m_tree.path("docs").c_str(), 0755);
        ::chmod(m_tree.path("docs/many.txt").c_str(), 0644);
    }

    // vellick-cli writing a plain-text report with the surrounding text to `target` on a tmpfs mounted with
    // `options` (its size, read-only) on the folder "mount", in a mount namespace of its own (private, so the
    // mount is seen nowhere else), over an `oldReport` put there first unless empty. The shell then prints
    // vellick-cli's exit status, what is on the mount and what the target holds.
    ProcessResult reportOnMount(
        const std::string& options, const std::string& target, const std::string& oldReport = "")
    {
        const std::string mount = m_tree.makeFolder("mount");
        const std::string script
            = "mount -t tmpfs -o \"$1\" vellick-test \"$2\" || exit 99\n"
              "[ -z \"$5\" ] || printf %s \"$5\" >\"$2/$4\"\n"
              "\"$3\" -d docs --report \"$2/$4\" --format text --include context needle >/dev/null\n"
              "echo \"exit $?\"; ls -A \"$2\"; [ -z \"$5\" ] || cat \"$2/$4\"";
        return runProcess(
            { kUnshare, "-m", "/bin/sh", "-c", script, "sh", options, mount, VELLICK_CLI_PATH, target, oldReport },
            m_tree.root());
    }

    static bool canMount()
    {
        return ::geteuid() == 0 && ::access(kUnshare, X_OK) == 0
            && runProcess({ kUnshare, "-m", "/bin/true" }, "/").exitStatus == 0;
    }

    TempTree m_tree;
};

} // namespace

TEST_F(ReportTargetsTest, UnwritableFolderOrFileIsNotWritten)
{
    if (withoutRoot({ "x" }).empty())
        GTEST_SKIP() << "running as root without setpriv: cannot take the rights away";
    m_tree.makeFolder("closed");
    ::chmod(m_tree.path("closed").c_str(), 0755); // root's: user 65534 may not create files in it
    m_tree.write("old.csv", "an older report\n");
    ::chmod(m_tree.path("old.csv").c_str(), 0644);

    const ProcessResult inFolder = runProcess(
        withoutRoot({ VELLICK_CLI_PATH, "-d", "docs", "--report", "closed/report.csv", "needle" }), m_tree.root());
    EXPECT_EQ(inFolder.exitStatus, 2);
    EXPECT_NE(inFolder.err.find("Open file failed.\n"), std::string::npos) << inFolder.err;
    EXPECT_TRUE(std::filesystem::is_empty(m_tree.path("closed")));

    const ProcessResult overFile
        = runProcess(withoutRoot({ VELLICK_CLI_PATH, "-d", "docs", "--report", "old.csv", "needle" }), m_tree.root());
    EXPECT_EQ(overFile.exitStatus, 2);
    EXPECT_NE(overFile.err.find("Open file failed.\n"), std::string::npos) << overFile.err;
    EXPECT_EQ(readFile(m_tree.path("old.csv")), "an older report\n");
}

TEST_F(ReportTargetsTest, ReadOnlyFileSystem)
{
    if (!canMount())
        GTEST_SKIP() << "needs root and unshare -m for a private read-only mount";
    const ProcessResult result = reportOnMount("ro,size=64k", "report.txt");
    ASSERT_NE(result.exitStatus, 99) << result.err;
    EXPECT_EQ(result.out, "exit 2\n"); // and nothing on the mount
    EXPECT_NE(result.err.find("Open file failed.\n"), std::string::npos) << result.err;
}

TEST_F(ReportTargetsTest, FullDiskIsNotReportedAsSuccess)
{
    if (!canMount())
        GTEST_SKIP() << "needs root and unshare -m for a small private tmpfs";
    const ProcessResult result = reportOnMount("size=64k", "report.txt");
    ASSERT_NE(result.exitStatus, 99) << result.err;
    EXPECT_EQ(result.out, "exit 2\n"); // the incomplete report was removed
    EXPECT_NE(result.err.find("Write file failed.\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Open file failed."), std::string::npos);

    // An older report the new one was to replace is kept as it was, and no temporary file is left.
    const ProcessResult over = reportOnMount("size=64k", "report.txt", "an older report\n");
    EXPECT_EQ(over.out, "exit 2\nreport.txt\nan older report\n");
    EXPECT_NE(over.err.find("Write file failed.\n"), std::string::npos) << over.err;

    // The same report fits on a larger one.
    const ProcessResult fits = reportOnMount("size=4m", "report.txt");
    EXPECT_EQ(fits.out, "exit 0\nreport.txt\n") << fits.err;
}

// Where no temporary file can be made beside an existing report, writing it in place is the only way,
// and a failure half way would lose the old report: the report is refused before anything is touched.
TEST_F(ReportTargetsTest, WritableReportInAClosedFolderIsRefused)
{
    const auto cli = withoutRoot({ VELLICK_CLI_PATH, "-d", "docs", "--report", "closed/old.csv", "needle" });
    if (cli.empty())
        GTEST_SKIP() << "running as root without setpriv: cannot take the rights away";
    const std::string old = m_tree.write("closed/old.csv", "an older report\n");
    ::chmod(old.c_str(), 0666);
    ::chmod(m_tree.path("closed").c_str(), 0555);
    const ProcessResult result = runProcess(cli, m_tree.root());
    ::chmod(m_tree.path("closed").c_str(), 0755);
    EXPECT_EQ(result.exitStatus, 2) << result.err;
    EXPECT_NE(result.err.find("Open file failed.\n"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(old), "an older report\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_tree.path("closed")), {}), 1);
}

// In a sticky folder (/tmp) another user's report cannot be replaced by a rename, though the user may
// write it: refused before anything is touched. The user's own reports there are written as anywhere.
TEST_F(ReportTargetsTest, AnotherUsersReportInAStickyFolderIsRefused)
{
    const auto theirs = withoutRoot({ VELLICK_CLI_PATH, "-d", "docs", "--report", "sticky/theirs.csv", "needle" });
    const auto own = withoutRoot({ VELLICK_CLI_PATH, "-d", "docs", "--report", "sticky/own.csv", "needle" });
    if (::geteuid() != 0 || theirs.empty())
        GTEST_SKIP() << "needs root to give a file to another user, and setpriv";
    const std::string sticky = m_tree.makeFolder("sticky");
    ::chmod(sticky.c_str(), 01777);
    const std::string old = m_tree.write("sticky/theirs.csv", "their report\n");
    ASSERT_EQ(::chown(old.c_str(), 1001, 1001), 0);
    ::chmod(old.c_str(), 0666);

    const ProcessResult refused = runProcess(theirs, m_tree.root());
    EXPECT_EQ(refused.exitStatus, 2) << refused.err;
    EXPECT_NE(refused.err.find("Open file failed.\n"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(old), "their report\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sticky), {}), 1);

    for (int round = 0; round < 2; ++round) { // a new report, then a replaced one
        const ProcessResult written = runProcess(own, m_tree.root());
        EXPECT_EQ(written.exitStatus, 0) << written.err;
    }
    EXPECT_NE(readFile(m_tree.path("sticky/own.csv")).find("many.txt"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sticky), {}), 2);
}
