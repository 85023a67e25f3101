#pragma once

#include <string>
#include <string_view>

namespace vellick::fuzz {

// A private folder for the files one fuzzing process writes (in memory when /dev/shm is there), made on
// first use and removed when the process ends. Fuzz targets rewrite the same few names on every input.
class ScratchFolder {
public:
    static const std::string& path();
    // Writes `content` to the named file in the folder (replacing it) and returns its path.
    static std::string write(std::string_view name, std::string_view content);
};

// Reads a whole file; empty when it cannot be read.
std::string readWhole(const std::string& path);

} // namespace vellick::fuzz
