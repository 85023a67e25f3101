#pragma once

#include "platform/shell_result.h"

#include <string>

namespace vellick {

// Renames one file in place for the result list; never replaces a file that already has the new name.
class FileRenamer {
public:
    virtual ~FileRenamer() = default;
    virtual ShellResult rename(const std::string& from, const std::string& to) = 0;
};

} // namespace vellick
