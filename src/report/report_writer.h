#pragma once

#include "report/report_options.h"
#include "report/report_rows.h"

#include <string>
#include <vector>

namespace vellick {

class KeywordList;
class MessageSink;

enum class ReportStatus {
    Written,
    OpenFailed, // nothing was written
    WriteFailed, // the file was removed again
};

// The text the user is shown for a status other than Written, captioned "Error".
std::string reportStatusText(ReportStatus status);

// Writes a report of `rows`, in order, to `path` (created or truncated): the header line in the
// comma-separated format, then one row per record. `keywords` is the last search's list (with its flags).
// Loading a row's surrounding text may give `messages` the loader's messages; rows other than the highlighted
// one give their loaded texts up again once written.
ReportStatus WriteReport(const std::string& path, const std::vector<ReportRow>& rows, const KeywordList& keywords,
    const ReportSettings& settings, MessageSink& messages);

} // namespace vellick
