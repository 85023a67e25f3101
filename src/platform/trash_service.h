#pragma once

#include "platform/shell_result.h"

#include <string>

namespace vellick {

// Sends files to the desktop's Trash, from where the user can restore them. Used by the Delete command;
// the Linux implementation uses the freedesktop.org Trash layout, tests may use a fake.
class TrashService {
public:
    virtual ~TrashService() = default;
    // Done when the file is in the Trash; otherwise it stays where it was.
    virtual ShellResult moveToTrash(const std::string& path) = 0;
};

} // namespace vellick
