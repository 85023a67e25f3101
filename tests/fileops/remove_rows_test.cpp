#include "fileops/remove_rows.h"
#include "results/vellick_doc.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

class HintRecorder : public DocumentObserver {
public:
    void onDocumentUpdate(DocumentHint hint) override { hints.push_back(hint); }
    void onRowRemoved(int row) override { removedRows.push_back(row); }
    std::vector<DocumentHint> hints;
    std::vector<int> removedRows;
};

struct RemoveCase {
    const char* name;
    std::vector<int> checkedRows;
    int currentRow; // -1: none
    std::vector<std::string> remaining; // file names in row order
    std::string current; // file name of the current record afterwards, "" for none
};

// Five files a..e; the taken rows go, the files' records stay, and the row that moved into the current
// row's place becomes current.
TEST(RemoveTakenRows, TakesCheckedAndCurrentRowsAndMovesToTheNextRow)
{
    const std::vector<RemoveCase> cases = {
        { "current only", {}, 2, { "a", "b", "d", "e" }, "d" },
        { "checked above and below", { 0, 4 }, 2, { "b", "d" }, "d" },
        { "current is the last row", { 1 }, 4, { "a", "c", "d" }, "d" },
        { "every row", { 0, 1, 2, 3 }, 4, {}, "" },
        { "checked but no current record", { 0, 1 }, -1, { "a", "b", "c", "d", "e" }, "" },
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        CVellickDoc doc;
        for (const char* name : { "a", "b", "c", "d", "e" })
            doc.addRecord(std::string("/no/such/folder/") + name, FileKind::Text, FileStatus {});
        for (const int row : c.checkedRows)
            doc.record(doc.recordAtRow(row)).checked = true;
        if (c.currentRow >= 0)
            doc.setCurrent(doc.recordAtRow(c.currentRow));
        HintRecorder views;
        doc.addObserver(&views);

        const int removed = removeTakenRows(doc);

        std::vector<std::string> names;
        for (int row = 0; row < doc.rowCount(); ++row)
            names.emplace_back(doc.record(doc.recordAtRow(row)).fileName());
        EXPECT_EQ(names, c.remaining);
        EXPECT_EQ(removed, 5 - static_cast<int>(c.remaining.size()));
        EXPECT_EQ(doc.recordCount(), 5); // the records stay, as after Delete
        EXPECT_EQ(doc.current() < 0 ? std::string() : std::string(doc.record(doc.current()).fileName()), c.current);
        EXPECT_EQ(views.removedRows.size(), static_cast<std::size_t>(removed));
        if (c.currentRow >= 0)
            EXPECT_EQ(views.hints, std::vector<DocumentHint> { DocumentHint::CurrentChanged });
        else
            EXPECT_TRUE(views.hints.empty());
        doc.removeObserver(&views);
    }
}

// Sorting afterwards orders only the rows left.
TEST(RemoveTakenRows, RemovedRowsStayRemovedThroughSorting)
{
    CVellickDoc doc;
    for (const char* name : { "c", "a", "b" })
        doc.addRecord(std::string("/no/such/folder/") + name, FileKind::Text, FileStatus {});
    doc.setCurrent(doc.recordAtRow(1));
    ASSERT_EQ(removeTakenRows(doc), 1);
    doc.sortRowsByColumn(0);
    ASSERT_EQ(doc.rowCount(), 2);
    EXPECT_EQ(doc.record(doc.recordAtRow(0)).fileName(), "b");
    EXPECT_EQ(doc.record(doc.recordAtRow(1)).fileName(), "c");
}

} // namespace
} // namespace vellick
