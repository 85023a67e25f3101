#pragma once

#include "report/report_options.h"

#include <string>
#include <string_view>

namespace vellick {

// ".csv" for the comma-separated format, ".txt" for the other two.
std::string_view reportExtension(ReportFormat format);

// The path the save dialog's choice becomes: when the file name (after the last "/") holds a dot, everything
// from the last dot on is replaced by the format's extension; otherwise the extension is appended.
std::string withReportExtension(std::string_view path, ReportFormat format);

} // namespace vellick
