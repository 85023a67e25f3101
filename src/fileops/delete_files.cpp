#include "fileops/delete_files.h"

#include "fileops/taken_rows.h"
#include "platform/trash_service.h"
#include "results/vellick_doc.h"

namespace vellick {

DeleteOutcome deleteTakenFiles(CVellickDoc& doc, TrashService& trash)
{
    DeleteOutcome outcome;
    const int previousCurrent = doc.current();
    if (previousCurrent < 0)
        return outcome;
    // The files are chosen before the first one goes: a view may move its selection, and with it the
    // current record, to a neighbouring row when a row is removed.
    const std::vector<int> rows = takenRows(doc);
    std::vector<int> records;
    for (const int row : rows) {
        // A member's path is its archive's: sending that to the Trash would take every other member too.
        if (!doc.record(doc.recordAtRow(row)).isMember())
            records.push_back(doc.recordAtRow(row));
    }
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        outcome.stoppedBy = trash.moveToTrash(doc.record(*it).path);
        if (!outcome.stoppedBy.ok())
            break;
        ++outcome.deleted;
        if (*it == doc.current())
            doc.setCurrent(-1);
        doc.removeDisplayRow(doc.rowOfRecord(*it));
    }
    if (doc.rowCount() > 0)
        doc.setCurrent(doc.recordAtRow(0));
    if (doc.current() != previousCurrent && previousCurrent < doc.recordCount())
        doc.record(previousCurrent).dropContexts(); // no view shows it any more
    doc.updateAllViews(DocumentHint::CurrentChanged);
    return outcome;
}

} // namespace vellick
