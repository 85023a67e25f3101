#pragma once

#include <string>
#include <vector>

namespace vellick::test {

struct ProcessResult {
    int exitStatus = -1; // -1 when the process did not exit normally
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell) in a working directory, collects its stdout and stderr, and
// kills it after `timeoutSeconds`. stdin is /dev/null. With `interruptAfterMs` it gets SIGINT (as from
// Ctrl-C) once that many milliseconds have passed.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDirectory,
    int timeoutSeconds = 30, int interruptAfterMs = -1);

// The same program run as the unprivileged user 65534 through setpriv; empty when that is not possible.
std::vector<std::string> asNobody(const std::vector<std::string>& argv);

// The program run without root's rights: as user 65534 when this process is root (empty when that is not
// possible), as it is otherwise.
std::vector<std::string> withoutRoot(const std::vector<std::string>& argv);

} // namespace vellick::test
