#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace vellick {

// What a program run to its end said.
struct ProcessOutcome {
    int spawnError = 0; // errno of the start; the rest is empty when it is not 0
    bool finished = false; // false: still running when the wait ended
    int exitCode = -1; // -1 when it ended by a signal
    std::string output;
    std::string errors;
};

// Starts a program directly, without a shell: argv[0] is searched on PATH when it holds no "/", the
// arguments are passed as bytes. The child gets its own session and /dev/null as input, and is reaped in
// the background, so it outlives nothing it should not. 0 when it started, else the errno value.
int startDetached(const std::vector<std::string>& argv, const std::string& workingFolder = {});

// Starts a program as startDetached does and waits at most `timeout` for its exit status. Its output is
// not collected: a program it starts in turn may keep inherited pipes open long after it has ended. A
// program still running then is reaped in the background (finished is false).
ProcessOutcome startAndWaitForExit(
    const std::vector<std::string>& argv, const std::string& workingFolder, std::chrono::milliseconds timeout);

// Runs a program and waits for it, at most `timeout`, collecting what it writes. A program still running
// then is left to finish on its own (and reaped in the background).
ProcessOutcome runAndWait(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Whether a program of that name is found on PATH (or exists, for a path).
bool programAvailable(const std::string& name);

} // namespace vellick
