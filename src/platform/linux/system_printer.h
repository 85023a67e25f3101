#pragma once

#include "platform/print_service.h"

namespace vellick {

// Printing through CUPS's command-line clients: `lp FILE` (or `lpr FILE` where there is no lp) to the
// default printer; preview starts the default application for plain text with the file, since the
// report is plain text whatever its name suggests.
class SystemPrinter : public PrintService {
public:
    ShellResult print(const std::string& path) override;
    ShellResult preview(const std::string& path) override;
};

} // namespace vellick
