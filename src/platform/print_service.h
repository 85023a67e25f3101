#pragma once

#include "platform/shell_result.h"

#include <string>

namespace vellick {

// Prints or shows the plain-text report file. Failed carries the status-bar text that says why.
class PrintService {
public:
    virtual ~PrintService() = default;
    virtual ShellResult print(const std::string& path) = 0;
    virtual ShellResult preview(const std::string& path) = 0;
};

} // namespace vellick
