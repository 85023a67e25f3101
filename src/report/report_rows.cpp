#include "report/report_rows.h"

#include "results/vellick_doc.h"

namespace vellick {

std::vector<ReportRow> checkedAndHighlightedRows(CVellickDoc& doc)
{
    std::vector<ReportRow> rows;
    for (int row = 0; row < doc.rowCount(); ++row) {
        const int index = doc.recordAtRow(row);
        CLine& line = doc.record(index);
        const bool highlighted = index == doc.current();
        if (line.checked || highlighted)
            rows.push_back({ &line, highlighted });
    }
    return rows;
}

std::vector<ReportRow> everyRow(CVellickDoc& doc)
{
    std::vector<ReportRow> rows;
    rows.reserve(static_cast<std::size_t>(doc.rowCount()));
    for (int row = 0; row < doc.rowCount(); ++row)
        rows.push_back({ &doc.record(doc.recordAtRow(row)), false });
    return rows;
}

} // namespace vellick
