#include "report/report_extension.h"

namespace vellick {

std::string_view reportExtension(ReportFormat format)
{
    return format == ReportFormat::Csv ? ".csv" : ".txt";
}

std::string withReportExtension(std::string_view path, ReportFormat format)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    const bool nameHasDot = dot != std::string_view::npos && dot >= nameStart;
    std::string result(nameHasDot ? path.substr(0, dot) : path);
    result += reportExtension(format);
    return result;
}

} // namespace vellick
