#include "fileops/remove_rows.h"

#include "fileops/taken_rows.h"
#include "results/vellick_doc.h"

#include <algorithm>

namespace vellick {

int removeTakenRows(CVellickDoc& doc)
{
    const int previousCurrent = doc.current();
    if (previousCurrent < 0)
        return 0;
    const int currentRow = doc.rowOfRecord(previousCurrent);
    const std::vector<int> rows = takenRows(doc);
    // From the last row up, so the rows still to go keep their numbers.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        doc.removeDisplayRow(*it);
    const int removedAbove
        = static_cast<int>(std::count_if(rows.begin(), rows.end(), [currentRow](int row) { return row < currentRow; }));
    const int nextRow = std::min(std::max(currentRow - removedAbove, 0), doc.rowCount() - 1);
    doc.setCurrent(nextRow >= 0 ? doc.recordAtRow(nextRow) : -1);
    if (doc.current() != previousCurrent)
        doc.record(previousCurrent).dropContexts(); // no view shows it any more
    doc.updateAllViews(DocumentHint::CurrentChanged);
    return static_cast<int>(rows.size());
}

} // namespace vellick
