#include "fileops/taken_rows.h"

#include "results/vellick_doc.h"

namespace vellick {

std::vector<int> takenRows(const CVellickDoc& doc)
{
    std::vector<int> rows;
    for (int row = 0; row < doc.rowCount(); ++row) {
        const int index = doc.recordAtRow(row);
        if (doc.record(index).checked || index == doc.current())
            rows.push_back(row);
    }
    return rows;
}

CopyMode copyModeFor(const CVellickDoc& doc)
{
    int checked = 0;
    int lastChecked = -1;
    for (int row = 0; row < doc.rowCount(); ++row) {
        if (doc.record(doc.recordAtRow(row)).checked) {
            ++checked;
            lastChecked = row;
        }
    }
    if (checked == 1 && doc.recordAtRow(lastChecked) != doc.current())
        checked = 2;
    return checked >= 2 ? CopyMode::ToFolder : CopyMode::OneFile;
}

} // namespace vellick
