#pragma once

#include <vector>

namespace vellick {

class CLine;
class CVellickDoc;

// One row of a report: a borrowed record, and whether it is the highlighted one (its loaded surrounding
// text is kept after the row is written, since the text pane shows it).
struct ReportRow {
    CLine* line = nullptr;
    bool highlighted = false;
};

// The rows of a report from the window: every ticked row and the highlighted row, in display order.
std::vector<ReportRow> checkedAndHighlightedRows(CVellickDoc& doc);

// Every row in display order, none highlighted: vellick-cli's report.
std::vector<ReportRow> everyRow(CVellickDoc& doc);

} // namespace vellick
