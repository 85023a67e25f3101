#include "platform/linux/child_process.h"

#include "base/unique_fd.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vellick {
namespace {

// posix_spawn's file actions and attributes, released on every path.
class SpawnSetup {
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions {};
    posix_spawnattr_t attributes {};
};

int spawn(const std::vector<std::string>& argv, SpawnSetup& setup, pid_t& pid)
{
    if (argv.empty() || argv[0].empty())
        return ENOENT;
    std::vector<char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    return ::posix_spawnp(&pid, argv[0].c_str(), &setup.actions, &setup.attributes, pointers.data(), environ);
}

void reapLater(pid_t pid)
{
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
    }).detach();
}

// Reads both pipes until they close or the deadline passes; false on the deadline.
bool collect(int outFd, int errFd, ProcessOutcome& outcome, std::chrono::steady_clock::time_point deadline)
{
    std::array<pollfd, 2> fds { pollfd { outFd, POLLIN, 0 }, pollfd { errFd, POLLIN, 0 } };
    std::array<std::string*, 2> sinks { &outcome.output, &outcome.errors };
    int open = 2;
    std::array<char, 4096> buffer {};
    while (open > 0) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0 && errno != EINTR)
            return false;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (got > 0) {
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return true;
}

} // namespace

namespace {
int spawnDetached(const std::vector<std::string>& argv, const std::string& workingFolder, pid_t& pid)
{
    SpawnSetup setup;
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSID);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    return spawn(argv, setup, pid);
}

constexpr std::chrono::milliseconds kExitPollInterval { 10 };
} // namespace

int startDetached(const std::vector<std::string>& argv, const std::string& workingFolder)
{
    pid_t pid = 0;
    const int error = spawnDetached(argv, workingFolder, pid);
    if (error == 0)
        reapLater(pid);
    return error;
}

ProcessOutcome startAndWaitForExit(
    const std::vector<std::string>& argv, const std::string& workingFolder, std::chrono::milliseconds timeout)
{
    ProcessOutcome outcome;
    pid_t pid = 0;
    outcome.spawnError = spawnDetached(argv, workingFolder, pid);
    if (outcome.spawnError != 0)
        return outcome;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        if (ended < 0 && errno != EINTR)
            return outcome; // not ours to wait for any more: nothing is known
        if (std::chrono::steady_clock::now() >= deadline) {
            reapLater(pid);
            return outcome;
        }
        std::this_thread::sleep_for(kExitPollInterval);
    }
    outcome.finished = true;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

ProcessOutcome runAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    ProcessOutcome outcome;
    std::array<int, 2> outPipe {};
    std::array<int, 2> errPipe {};
    if (::pipe2(outPipe.data(), O_CLOEXEC) != 0) {
        outcome.spawnError = errno;
        return outcome;
    }
    UniqueFd outRead(outPipe[0]), outWrite(outPipe[1]);
    if (::pipe2(errPipe.data(), O_CLOEXEC) != 0) {
        outcome.spawnError = errno;
        return outcome;
    }
    UniqueFd errRead(errPipe[0]), errWrite(errPipe[1]);
    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, outWrite.get(), 1);
    posix_spawn_file_actions_adddup2(&setup.actions, errWrite.get(), 2);
    pid_t pid = 0;
    outcome.spawnError = spawn(argv, setup, pid);
    outWrite.reset();
    errWrite.reset();
    if (outcome.spawnError != 0)
        return outcome;
    if (!collect(outRead.get(), errRead.get(), outcome, std::chrono::steady_clock::now() + timeout)) {
        reapLater(pid);
        return outcome;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    outcome.finished = true;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

bool programAvailable(const std::string& name)
{
    if (name.empty())
        return false;
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        const std::string candidate = (folder.empty() ? std::string(".") : std::string(folder)) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
    }
    return false;
}

} // namespace vellick
