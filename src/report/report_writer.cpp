#include "report/report_writer.h"

#include "report/report_file.h"
#include "report/report_row.h"
#include "results/cline.h"

namespace vellick {

std::string reportStatusText(ReportStatus status)
{
    switch (status) {
    case ReportStatus::Written:
        break;
    case ReportStatus::OpenFailed:
        return "Open file failed.";
    case ReportStatus::WriteFailed:
        return "Write file failed.";
    }
    return {};
}

ReportStatus WriteReport(const std::string& path, const std::vector<ReportRow>& rows, const KeywordList& keywords,
    const ReportSettings& settings, MessageSink& messages)
{
    ReportFile file;
    if (!file.create(path))
        return ReportStatus::OpenFailed;
    if (settings.format == ReportFormat::Csv)
        file.write(reportHeader(settings.options));
    for (const ReportRow& row : rows) {
        if (file.failed())
            break;
        file.write(reportRowText(*row.line, settings, keywords, messages));
        if (!row.highlighted)
            row.line->dropContexts();
    }
    return file.finish() ? ReportStatus::Written : ReportStatus::WriteFailed;
}

} // namespace vellick
