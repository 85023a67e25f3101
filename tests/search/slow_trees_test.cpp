// Large trees: 200000 small files in one folder and a million files in a tree. The walk's memory stays
// bounded, and the 100000-found cap ends a run as a normal completion. And the system's own trees (/proc,
// /sys, /dev), whose search must end. Building the trees takes a while, so
// these run only with VELLICK_SLOW_TESTS=1 in the environment; each prints the peak memory it measured.
#include "search/file_patterns.h"
#include "search/folder_walk.h"
#include "support/process_runner.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

bool slowTestsWanted()
{
    const char* wanted = std::getenv("VELLICK_SLOW_TESTS");
    return wanted && std::string(wanted) == "1";
}

// Writes `count` files named f0000000.txt ... into `folder` (made first), each holding `content`.
void makeFiles(const std::string& folder, int count, const std::string& content)
{
    ::mkdir(folder.c_str(), 0755);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "f%07d.txt", i);
        const int file = ::openat(fd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::write(file, content.data(), content.size()), static_cast<ssize_t>(content.size()));
        ::close(file);
    }
    ::close(fd);
}

long peakKib()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// How far `work`, run in a child process, raises the child's peak resident memory (KiB), and the number the
// work returned. The child starts as a copy of this process, so only the growth says something.
std::pair<long, long> peakGrowthInChild(const std::function<long()>& work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return { -1, -1 };
    const pid_t pid = ::fork();
    if (pid == 0) {
        const long before = peakKib();
        const long result = work();
        const long values[2] = { peakKib() - before, result };
        static_cast<void>(::write(channel[1], values, sizeof values));
        ::_exit(0);
    }
    ::close(channel[1]);
    long values[2] = { -1, -1 };
    static_cast<void>(::read(channel[0], values, sizeof values));
    ::close(channel[0]);
    ::waitpid(pid, nullptr, 0);
    return { values[0], values[1] };
}

long walkedFiles(const std::string& root)
{
    FolderWalk walk(splitFilePatterns("*.*"), true, false);
    walk.start(root);
    long files = 0;
    for (auto event = walk.next(); event != FolderWalk::EventType::Done; event = walk.next())
        files += event == FolderWalk::EventType::File ? 1 : 0;
    return files;
}

struct CliRun {
    int exitStatus = -1;
    long peakKib = 0;
};

// vellick-cli searching `folder` and its sub-folders, its output thrown away; its peak memory as the kernel
// counted it.
CliRun runCli(const std::string& folder, const std::string& keyword)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO })
            ::dup2(null, fd);
        ::execl(
            VELLICK_CLI_PATH, "vellick-cli", "-r", "-d", folder.c_str(), keyword.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    CliRun run;
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKib = usage.ru_maxrss;
    return run;
}

class SlowTreesTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!slowTestsWanted())
            GTEST_SKIP() << "builds trees of 200000 and 1000000 files; set VELLICK_SLOW_TESTS=1 to run it";
    }

    TempTree m_tree;
};

} // namespace

TEST_F(SlowTreesTest, TwoHundredThousandFilesInOneFolderAndTheFoundCap)
{
    const std::string folder = m_tree.path("many");
    makeFiles(folder, 200000, "a needle\n");

    const auto [walkGrowth, files] = peakGrowthInChild([&] { return walkedFiles(folder); });
    EXPECT_EQ(files, 200000);
    EXPECT_LT(walkGrowth, 64 * 1024) << "KiB";
    std::printf("[   NOTE   ] walk of 200000 files in one folder: peak memory grew by %ld KiB\n", walkGrowth);

    // Every file matches: the run ends at 100000 found files as a normal completion.
    TreeSearch search(1);
    ASSERT_TRUE(search.run(TreeSearch::panel(folder, "needle")));
    EXPECT_EQ(search.searchRun().foundCount(), 100000);
    EXPECT_EQ(search.searchRun().checkedCount(), 100000u);
    EXPECT_EQ(search.doc().rowCount(), 100000);
    EXPECT_TRUE(search.runMessages().empty()); // no "Search stopped before completion."
    ASSERT_EQ(search.events().summaries.size(), 1u);
    EXPECT_TRUE(search.events().summaries.front().endedAtFoundCap);
    EXPECT_FALSE(search.events().summaries.front().stoppedByUser);
    EXPECT_EQ(search.statusText().rfind("100000 files found (100000 files checked).time spent: ", 0), 0u)
        << search.statusText();

    const CliRun cli = runCli(folder, "needle");
    EXPECT_EQ(cli.exitStatus, 0);
    std::printf("[   NOTE   ] vellick-cli finding 100000 of 200000 files: peak memory %ld KiB\n", cli.peakKib);
}

TEST_F(SlowTreesTest, AMillionFilesInATree)
{
    const std::string root = m_tree.path("tree");
    ::mkdir(root.c_str(), 0755);
    for (int folder = 0; folder < 1000; ++folder)
        makeFiles(root + "/d" + std::to_string(folder), 1000, "");

    const auto [walkGrowth, files] = peakGrowthInChild([&] { return walkedFiles(root); });
    EXPECT_EQ(files, 1000000);
    EXPECT_LT(walkGrowth, 64 * 1024) << "KiB";
    std::printf("[   NOTE   ] walk of 1000000 files in 1000 folders: peak memory grew by %ld KiB\n", walkGrowth);

    const CliRun cli = runCli(root, "needle");
    EXPECT_EQ(cli.exitStatus, 1); // none found, every file read
    std::printf("[   NOTE   ] vellick-cli over 1000000 files: peak memory %ld KiB\n", cli.peakKib);
}

// The folders the kernel makes up as they are read: files that never end (/proc/<pid>/pagemap), files that
// claim sizes they never give, devices. A search over each of them with sub-folders ends.
TEST_F(SlowTreesTest, SystemFoldersEnd)
{
    for (const char* folder : { "/proc", "/sys", "/dev" }) {
        const auto begin = std::chrono::steady_clock::now();
        const ProcessResult result = runProcess({ VELLICK_CLI_PATH, "-r", "-d", folder, "qzxabsent" }, "/", 600);
        const auto seconds
            = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_FALSE(result.timedOut) << folder;
        EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << folder << ": " << result.err;
        std::printf(
            "[   NOTE   ] vellick-cli over %s with sub-folders: %lld s\n", folder, static_cast<long long>(seconds));
    }
}
