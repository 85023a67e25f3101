// vellick-cli as a process: it streams found files, ends on Ctrl-C with 130, and treats its standard
// output's failures (full disk, closed pipe) and the system's limits (memory, threads) as grep does.

#include "cli/cli_fixture.h"
#include "support/hang_guard.h"

#include <csignal>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellick::test;
using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

// vellick-cli started with its stdout on a pipe that the test reads line by line; stderr is dropped.
class StreamingCli {
public:
    StreamingCli(const std::vector<std::string>& args, const std::string& directory)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> argv { VELLICK_CLI_PATH };
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (std::string& arg : argv)
            raw.push_back(arg.data());
        raw.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            // Killed with the test program (its hang guard, ctest's timeout): no vellick-cli is left
            // reading the 1 TiB file.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            if (::chdir(directory.c_str()) == 0)
                ::execv(raw[0], raw.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
    }
    ~StreamingCli()
    {
        if (m_pid > 0 && m_status < 0)
            ::kill(m_pid, SIGKILL), ::waitpid(m_pid, nullptr, 0);
        if (m_out >= 0)
            ::close(m_out);
    }

    // The next line of stdout (without its line feed); empty at the end.
    std::string readLine()
    {
        std::string line;
        char c = 0;
        while (::read(m_out, &c, 1) == 1 && c != '\n')
            line.push_back(c);
        return line;
    }
    std::string readRest()
    {
        std::string text;
        for (std::string line = readLine(); !line.empty(); line = readLine())
            text += line + "\n";
        return text;
    }
    void signal(int number) const { ::kill(m_pid, number); }
    int exitStatus()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        return m_status;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_status = -1;
};

// A file that takes long to read: a sparse one, all zeros, with no hit.
void makeSlowFile(const TempTree& tree, const std::string& relative, off_t size)
{
    const std::string path = tree.write(relative, "");
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
}

// vellick-cli run by /bin/sh with `script` around it: "$@" is vellick-cli and its arguments.
ProcessResult runInShell(const std::string& script, const std::vector<std::string>& args, const std::string& directory)
{
    std::vector<std::string> argv { "/bin/bash", "-c", script, "bash", VELLICK_CLI_PATH };
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, directory);
}

bool underSanitizers()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

} // namespace

// The first file is printed while the run still reads the slow file after it: Ctrl-C then still finds the
// run going (status 130, where an ended run would give 0), and nothing more is printed, not even the last
// file's path or the summary.
TEST(CliStream, FoundFilesArePrintedAtOnceAndCtrlCEndsTheRunWith130)
{
    // Under the sanitizers the moment the signal comes is too uncertain for what this test asserts.
    if (underSanitizers())
        GTEST_SKIP() << "timing of a signal against a running scan; checked in the default build";
    const HangGuard guard(120);
    TempTree tree;
    tree.write("a-first.txt", "needle\n");
    // Sparse, and too large to be read before the signal comes even on a loaded machine: only the scan's
    // own check of the stop flag between blocks can end the run in time.
    makeSlowFile(tree, "m-slow.bin", 1LL << 40);
    tree.write("z-last.txt", "needle\n");
    for (const char* threads : { "1", "3" }) {
        StreamingCli cli({ "-j", threads, "needle" }, tree.root());
        ASSERT_EQ(cli.readLine(), tree.path("a-first.txt")) << threads;
        cli.signal(SIGINT);
        EXPECT_EQ(cli.readRest(), "") << threads;
        EXPECT_EQ(cli.exitStatus(), 130) << threads;
    }
}

TEST(CliStream, StandardOutputFailures)
{
    TempTree tree;
    for (int i = 0; i < 3000; ++i) // more than a pipe holds, so the closed pipe is written to
        tree.write("docs/file" + std::to_string(i) + ".txt", "needle\n");
    struct Case {
        const char* name;
        const char* script;
        std::vector<std::string> args;
        int exitStatus;
        const char* err; // regular expression
    };
    const Case cases[] = {
        { "full disk", R"("$@" >/dev/full)", { "-d", "docs", "needle" }, 2,
            "vellick-cli: write error: No space left on device\n" },
        { "full disk, help", R"("$@" >/dev/full)", { "--help" }, 2,
            "vellick-cli: write error: No space left on device\n" },
        { "closed stdout", R"("$@" >&-)", { "-d", "docs", "needle" }, 2,
            "vellick-cli: write error: Bad file descriptor\n" },
        // The reader went away: printing ends quietly (and the run with it, unless a report is wanted).
        { "closed pipe", R"("$@" | head -1 >/dev/null; exit ${PIPESTATUS[0]})", { "-d", "docs", "needle" }, 0, "" },
        { "closed pipe, report", R"("$@" | head -0; exit ${PIPESTATUS[0]})",
            { "-d", "docs", "--report", "report.csv", "needle" }, 0,
            "3000 files found \\(3000 files checked\\)\\..*\n" },
    };
    for (const Case& c : cases) {
        const ProcessResult result = runInShell(c.script, c.args, tree.root());
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.name << "\n" << result.err;
        EXPECT_THAT(result.err, MatchesRegex(c.err)) << c.name;
    }
    // The reader went away, yet the report holds every file.
    const std::string report = readFile(tree.path("report.csv"));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 3001);
}

TEST(CliStream, SystemLimitsEndWithAMessageOrAreWorkedAround)
{
    if (underSanitizers())
        GTEST_SKIP() << "the sanitizers' shadow memory does not fit under ulimit -v";
    TempTree tree;
    tree.write("docs/a.txt", "needle\n");
    // Too little address space for 256 thread stacks: the search goes on with the threads it got.
    const ProcessResult threads
        = runInShell(R"(ulimit -v 400000; exec "$@")", { "-j", "256", "-d", "docs", "needle" }, tree.root());
    EXPECT_EQ(threads.exitStatus, 0) << threads.err;
    EXPECT_EQ(threads.out, tree.path("docs/a.txt") + "\n");
    // A list too big for the memory left: a message and status 2, not an abort.
    std::string list;
    while (list.size() < (160 << 20))
        list += std::string(4000, 'x') + "\n";
    tree.write("big-list.txt", list);
    const ProcessResult memory
        = runInShell(R"(ulimit -v 250000; exec "$@")", { "--listed", "big-list.txt", "needle" }, tree.root());
    EXPECT_EQ(memory.exitStatus, 2) << memory.err;
    EXPECT_EQ(memory.err, "vellick-cli: out of memory\n");
}
