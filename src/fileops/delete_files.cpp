#include "fileops/delete_files.h"

#include "platform/trash_service.h"
#include "results/vellick_doc.h"

namespace vellick {

DeleteOutcome deleteTakenFiles(CVellickDoc& doc, TrashService& trash)
{
    DeleteOutcome outcome;
    const int previousCurrent = doc.current();
    if (previousCurrent < 0)
        return outcome;
    for (int row = doc.rowCount() - 1; row >= 0; --row) {
        const int index = doc.recordAtRow(row);
        CLine& line = doc.record(index);
        if (!line.checked && index != doc.current())
            continue;
        outcome.stoppedBy = trash.moveToTrash(line.path);
        if (!outcome.stoppedBy.ok())
            break;
        ++outcome.deleted;
        if (index == doc.current())
            doc.setCurrent(-1);
        doc.removeDisplayRow(row);
    }
    if (doc.rowCount() > 0)
        doc.setCurrent(doc.recordAtRow(0));
    if (doc.current() != previousCurrent && previousCurrent < doc.recordCount())
        doc.record(previousCurrent).dropContexts(); // no view shows it any more
    doc.updateAllViews(HintCurrentChanged);
    return outcome;
}

} // namespace vellick
