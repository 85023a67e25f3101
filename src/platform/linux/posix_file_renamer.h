#pragma once

#include "platform/file_renamer.h"

#include <string>

namespace vellick {

// Renames with the kernel's no-replace rename; where the file system lacks it, a hard link to the new
// name and removal of the old one (which also fails on an existing name).
class PosixFileRenamer : public FileRenamer {
public:
    ShellResult rename(const std::string& from, const std::string& to) override;
};

// Moves `from` to `to` unless `to` exists. 0 on success, else the errno value (EEXIST when `to` exists).
int renameWithoutReplacing(const std::string& from, const std::string& to);

// The text of an errno value, for the reasons shown to the user.
std::string errorText(int error);

} // namespace vellick
