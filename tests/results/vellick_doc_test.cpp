#include "results/vellick_doc.h"
#include "support/cline_fields.h"
#include "support/fake_file_types.h"
#include "support/hint_recorder.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

class VellickDocTest : public testing::Test {
protected:
    VellickDocTest() { m_doc.addObserver(&m_hints); }

    std::vector<int> displayOrder() const
    {
        std::vector<int> order;
        for (int row = 0; row < m_doc.rowCount(); ++row)
            order.push_back(m_doc.recordAtRow(row));
        return order;
    }

    void addThree()
    {
        for (const char* name : { "a.txt", "b.txt", "c.txt" })
            m_doc.addRecord(m_tree.write(name, "x"), FileKind::Text);
    }

    TempTree m_tree;
    FakeFileTypes m_types;
    CVellickDoc m_doc { &m_types };
    HintRecorder m_hints;
};

} // namespace

TEST_F(VellickDocTest, ClearNotifiesOnlyWhenThereWereRecords)
{
    m_doc.clear();
    EXPECT_TRUE(m_hints.hints.empty());
    addThree();
    m_doc.setCurrent(1);
    m_doc.clear();
    EXPECT_EQ(m_hints.hints, (std::vector<DocumentHint> { DocumentHint::Cleared }));
    EXPECT_EQ(m_doc.recordCount(), 0);
    EXPECT_EQ(m_doc.rowCount(), 0);
    EXPECT_EQ(m_doc.current(), -1);
}

TEST_F(VellickDocTest, RecordsAreShownInOrderOfDiscovery)
{
    addThree();
    EXPECT_EQ(displayOrder(), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(m_doc.rowOfRecord(2), 2);
}

TEST_F(VellickDocTest, RemovingARowKeepsTheRecord)
{
    addThree();
    m_doc.removeDisplayRow(0);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 2 }));
    EXPECT_EQ(m_doc.recordCount(), 3);
    EXPECT_EQ(m_doc.rowOfRecord(0), -1);
    EXPECT_EQ(m_hints.removedRows, (std::vector<int> { 0 }));
    m_doc.removeDisplayRow(5); // no such row
    EXPECT_EQ(m_doc.rowCount(), 2);
}

TEST_F(VellickDocTest, NewRecordAfterRemovedRowsGoesRightAfterTheLastRow)
{
    addThree();
    m_doc.removeDisplayRow(1);
    const int index = m_doc.addRecord(m_tree.write("d.txt", "x"), FileKind::Text);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 0, 2, 3 }));
}

TEST_F(VellickDocTest, RecordDetailsComeFromTheFileAndTheShell)
{
    const std::string path = m_tree.write("Sub/NOTES.TXT", std::string(2048, 'n'));
    m_tree.setModified("Sub/NOTES.TXT", 4102444800, 5); // after 2038
    const int index = m_doc.addRecord(path, FileKind::Binary);
    const CLine& line = m_doc.record(index);
    EXPECT_EQ(line.path, path); // letter case kept
    EXPECT_EQ(line.kind, FileKind::Binary);
    EXPECT_EQ(line.size, 2048);
    EXPECT_EQ(line.modified, 4102444800);
    EXPECT_EQ(line.modifiedNanoseconds, 5);
    EXPECT_EQ(line.typeName, "TXT file");
    EXPECT_EQ(line.iconIndex, 7);
    EXPECT_FALSE(line.checked);
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
}

TEST_F(VellickDocTest, VanishedFileHasZeroSizeAndTime)
{
    const int index = m_doc.addRecord(m_tree.path("vanished.txt"), FileKind::Text);
    EXPECT_EQ(m_doc.record(index).size, 0);
    EXPECT_EQ(m_doc.record(index).modified, 0);
}

TEST_F(VellickDocTest, StatusFromTheScanIsUsedWhenGiven)
{
    const int index = m_doc.addRecord(m_tree.path("vanished.txt"), FileKind::Text, FileStatus { 6'000'000'000, 17, 3 });
    EXPECT_EQ(m_doc.record(index).size, 6'000'000'000);
    EXPECT_EQ(m_doc.record(index).modified, 17);
    EXPECT_EQ(m_doc.record(index).modifiedNanoseconds, 3);
}

TEST_F(VellickDocTest, WithoutShellTheTypeNameIsEmpty)
{
    CVellickDoc doc;
    const int index = doc.addRecord(m_tree.write("a.txt", "x"), FileKind::Text);
    EXPECT_EQ(doc.record(index).typeName, "");
}

// Rows removed anywhere, one after another at a moving position (as the re-check of listed files does) or
// at random, with records added and rows sorted in between, leave the rows a plain list would hold.
TEST_F(VellickDocTest, RowRemovalsMatchAPlainList)
{
    std::vector<int> expected;
    auto add = [&] {
        const int index
            = m_doc.addRecord("/nowhere/" + std::to_string(1000 + m_doc.recordCount()), FileKind::Text, FileStatus {});
        expected.push_back(index);
    };
    auto remove = [&](int row) {
        m_doc.removeDisplayRow(row);
        expected.erase(expected.begin() + row);
        ASSERT_EQ(displayOrder(), expected) << "after removing row " << row;
    };
    for (int i = 0; i < 40; ++i)
        add();
    for (int row = 3; row < static_cast<int>(expected.size()); row += 2)
        remove(row); // every other row from row 3 on: the gap moves forward
    remove(1); // and back
    remove(static_cast<int>(expected.size()) - 1);
    add(); // after the last row, not into the gap
    EXPECT_EQ(displayOrder(), expected);
    unsigned seed = 7;
    for (int i = 0; i < 15; ++i) {
        seed = seed * 1103515245u + 12345u;
        remove(static_cast<int>((seed >> 8) % expected.size()));
    }
    for (int index : expected)
        EXPECT_EQ(m_doc.recordAtRow(m_doc.rowOfRecord(index)), index);
    EXPECT_EQ(m_doc.rowOfRecord(0), 0);
    EXPECT_EQ(m_doc.rowOfRecord(3), -1); // removed
    m_doc.sortRowsByColumn(0);
    m_doc.sortRowsByColumn(0); // descending by name: the reverse of the order of discovery
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(displayOrder(), expected);
    EXPECT_EQ(m_hints.removedRows.size(), 41u - expected.size());
}

// Views hear that the records are about to go while they are still there, and that they have gone after.
TEST_F(VellickDocTest, ClearBracketsTheRecordsGoing)
{
    struct Observer : DocumentObserver {
        explicit Observer(const CVellickDoc& doc)
            : doc(doc)
        {
        }
        void onDocumentAboutToBeCleared() override { events.push_back(doc.rowCount()); }
        void onDocumentUpdate(DocumentHint hint) override
        {
            if (hint == DocumentHint::Cleared)
                events.push_back(-doc.rowCount() - 1);
        }
        const CVellickDoc& doc;
        std::vector<int> events;
    } observer(m_doc);
    m_doc.addObserver(&observer);
    addThree();
    m_doc.clear();
    m_doc.clear();
    EXPECT_EQ(observer.events, (std::vector<int> { 3, -1 }));
    m_doc.removeObserver(&observer);
}
