#pragma once

#include "platform/shell_result.h"

#include <optional>
#include <string>

namespace vellick {

// Opens found files outside the program: with the desktop's default application for the file's type, or
// with a program the user names. Used by Open and Open With.
class Launcher {
public:
    virtual ~Launcher() = default;
    // The desktop's default application for the file's type, or nothing when there is none.
    virtual std::optional<std::string> associatedApplication(const std::string& path) = 0;
    // Hands the file to the desktop's opener; Done unless it could not start or soon said that it failed.
    virtual ShellResult openWithAssociation(const std::string& path) = 0;
    // Starts the program directly (no shell) with the path as its one argument, in the file's folder.
    virtual ShellResult openWithProgram(const std::string& program, const std::string& path) = 0;
};

} // namespace vellick
