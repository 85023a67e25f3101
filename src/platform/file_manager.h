#pragma once

#include "platform/shell_result.h"

#include <functional>
#include <string>

namespace vellick {

// Shows a found file in the user's file manager (Open Containing Folder). The answer may come later,
// through the event loop, so nothing waits for a file manager to start.
class FileManager {
public:
    virtual ~FileManager() = default;
    // Shows the file selected in its folder; `done` is called once with the outcome, unless the service
    // is destroyed first. Failed carries the status-bar text that says why.
    virtual void showItem(const std::string& path, std::function<void(const ShellResult&)> done) = 0;
};

} // namespace vellick
