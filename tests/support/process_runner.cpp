#include "support/process_runner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellick::test {

namespace {

// Only async-signal-safe calls here: everything is prepared before the fork.
[[noreturn]] void execChild(char* const* args, const char* directory, int outFd, int errFd)
{
    // A test program ended by its hang guard or by ctest takes the program it runs with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::dup2(outFd, STDOUT_FILENO);
    ::dup2(errFd, STDERR_FILENO);
    if (::chdir(directory) != 0)
        ::_exit(126);
    ::execv(args[0], args);
    ::_exit(127);
}

struct Interrupt {
    pid_t pid = -1;
    std::optional<std::chrono::steady_clock::time_point> at; // not yet sent
};

// The milliseconds to wait in poll(): until the deadline, or until the interrupt is due (sending it then).
int pollWait(std::chrono::steady_clock::time_point deadline, Interrupt& interrupt)
{
    using std::chrono::milliseconds;
    const auto now = std::chrono::steady_clock::now();
    if (interrupt.at && *interrupt.at <= now) {
        ::kill(interrupt.pid, SIGINT);
        interrupt.at.reset();
    }
    const auto until = interrupt.at ? std::min(deadline, *interrupt.at) : deadline;
    return static_cast<int>(std::max<long long>(1, std::chrono::duration_cast<milliseconds>(until - now).count()));
}

// Reads both pipes until they close or the deadline passes; false on timeout.
bool collect(
    int outFd, int errFd, ProcessResult& result, std::chrono::steady_clock::time_point deadline, Interrupt& interrupt)
{
    pollfd fds[2] = { { outFd, POLLIN, 0 }, { errFd, POLLIN, 0 } };
    std::string* sinks[2] = { &result.out, &result.err };
    int open = 2;
    while (open > 0) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (::poll(fds, 2, pollWait(deadline, interrupt)) < 0 && errno != EINTR)
            return false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return true;
}

} // namespace

ProcessResult runProcess(
    const std::vector<std::string>& argv, const std::string& workingDirectory, int timeoutSeconds, int interruptAfterMs)
{
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        return result;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0)
        execChild(args.data(), workingDirectory.c_str(), outPipe[1], errPipe[1]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    const auto now = std::chrono::steady_clock::now();
    const auto deadline = now + std::chrono::seconds(timeoutSeconds);
    Interrupt interrupt { pid, std::nullopt };
    if (interruptAfterMs >= 0)
        interrupt.at = now + std::chrono::milliseconds(interruptAfterMs);
    if (pid < 0 || !collect(outPipe[0], errPipe[0], result, deadline, interrupt)) {
        result.timedOut = pid > 0;
        if (pid > 0)
            ::kill(pid, SIGKILL);
    }
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && !result.timedOut)
        result.exitStatus = WEXITSTATUS(status);
    return result;
}

std::vector<std::string> asNobody(const std::vector<std::string>& argv)
{
    static const std::string kSetpriv = "/usr/bin/setpriv";
    if (::geteuid() != 0 || ::access(kSetpriv.c_str(), X_OK) != 0)
        return {};
    std::vector<std::string> wrapped { kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups" };
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

std::vector<std::string> withoutRoot(const std::vector<std::string>& argv)
{
    return ::geteuid() == 0 ? asNobody(argv) : argv;
}

} // namespace vellick::test
