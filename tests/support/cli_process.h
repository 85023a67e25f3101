#pragma once

#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Header-only: VELLICK_CLI_PATH is known to the test programs, not to the support library.
namespace vellick::test {

struct CliOutput {
    int exitStatus = -1; // -1 when the program did not exit by itself (killed after its time ran out)
    std::string out;
    std::string err;
};

namespace cli_process_detail {

inline constexpr const char* kSetpriv = "/usr/bin/setpriv";

inline std::string readAll(int fd)
{
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

[[noreturn]] inline void execChild(
    const std::vector<std::string>& command, const std::string& directory, int out, int err, unsigned seconds)
{
    const int null = ::open("/dev/null", O_RDONLY);
    if (null < 0 || ::dup2(null, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0
        || ::chdir(directory.c_str()) != 0)
        ::_exit(126);
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::alarm(seconds); // kept across exec: SIGALRM ends the program if it hangs
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

} // namespace cli_process_detail

// True when runVellickCli(..., true) runs without root's rights.
inline bool canRunUnprivileged()
{
    return ::geteuid() != 0 || ::access(cli_process_detail::kSetpriv, X_OK) == 0;
}

// Runs a program (`command[0]`, a full path) with its arguments in `directory`, without a shell; stdin is
// /dev/null. It is killed after `seconds`, so a hang fails the test instead of blocking it.
inline CliOutput runCommand(
    const std::vector<std::string>& command, const std::string& directory, unsigned seconds = 60)
{
    CliOutput output;
    const int out = ::memfd_create("command-out", MFD_CLOEXEC);
    const int err = ::memfd_create("command-err", MFD_CLOEXEC);
    const pid_t pid = out >= 0 && err >= 0 ? ::fork() : -1;
    if (pid == 0)
        cli_process_detail::execChild(command, directory, out, err, seconds);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        output.exitStatus = WEXITSTATUS(status);
    output.out = cli_process_detail::readAll(out);
    output.err = cli_process_detail::readAll(err);
    ::close(out);
    ::close(err);
    return output;
}

// Runs vellick-cli with `arguments` in `directory`, so that names with any bytes reach it as they are.
// With `unprivileged`, a root process runs it as user and group 65534 through setpriv (CI runs as root,
// who may read anything); a process that is not root runs it as itself.
inline CliOutput runVellickCli(const std::vector<std::string>& arguments, const std::string& directory,
    bool unprivileged = false, unsigned seconds = 60)
{
    std::vector<std::string> command;
    if (unprivileged && ::geteuid() == 0)
        command = { cli_process_detail::kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups" };
    command.emplace_back(VELLICK_CLI_PATH);
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, directory, seconds);
}

} // namespace vellick::test
