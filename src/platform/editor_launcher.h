#pragma once

#include "platform/shell_result.h"

#include <cstdint>
#include <string>

namespace vellick {

// Opens a found file in the user's text editor at a line (Open at Line). The command line is a setting:
// the program and its arguments, with %f for the file and %l for the line.
class EditorLauncher {
public:
    virtual ~EditorLauncher() = default;
    // The command for the desktop's default text editor when it is a known one, else one that opens the
    // file without a line.
    virtual std::string detectedCommand() = 0;
    // Starts the command without a shell; Failed carries the status-bar text that says why.
    virtual ShellResult openAtLine(const std::string& command, const std::string& path, std::int64_t line) = 0;
};

} // namespace vellick
