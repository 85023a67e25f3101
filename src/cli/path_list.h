#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellick {

// The paths of a --listed file, one a line (a CR before the line feed is dropped, empty lines are passed
// over), and the messages about lines that cannot be paths.
struct PathList {
    std::vector<std::string> paths;
    std::vector<std::string> skipped; // one message per line that holds a NUL byte
};

// The most a list may hold; a longer one (or an endless device) is refused rather than read into memory.
inline constexpr std::size_t kMaxPathListBytes = 256 * 1024 * 1024;

// Reads the list named `name` from a regular file or a pipe, opened relative to `directoryFd`. On failure
// the reason (the system's text, e.g. "Is a directory") is put into `error` and nothing is returned.
std::optional<PathList> readPathList(int directoryFd, const std::string& name, std::string& error);

// Splits a list's bytes into paths; `name` is used in the messages.
PathList splitPathList(const std::string& bytes, const std::string& name);

} // namespace vellick
