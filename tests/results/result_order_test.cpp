#include "results/result_order.h"
#include "results/vellick_doc.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

struct Row {
    Row(std::string rowPath, int64_t rowSize = 0, int64_t rowModified = 0, std::string rowType = {})
        : path(std::move(rowPath))
        , size(rowSize)
        , modified(rowModified)
        , typeName(std::move(rowType))
    {
    }
    std::string path;
    int64_t size;
    int64_t modified;
    std::string typeName;
};

class ResultOrderTest : public testing::Test {
protected:
    void fill(const std::vector<Row>& rows)
    {
        for (const Row& row : rows) {
            const int index = m_doc.addRecord(row.path, FileKind::Text, FileStatus { row.size, row.modified });
            m_doc.record(index).typeName = row.typeName;
        }
    }

    std::vector<int> displayOrder() const
    {
        std::vector<int> order;
        for (int row = 0; row < m_doc.rowCount(); ++row)
            order.push_back(m_doc.recordAtRow(row));
        return order;
    }

    CVellickDoc m_doc;
};

} // namespace

TEST_F(ResultOrderTest, FewerThanTwoRowsDoNotFlipTheDirection)
{
    fill({ { "/b/x" } });
    m_doc.sortRowsByColumn(0);
    EXPECT_FALSE(m_doc.sortAscending(0));
    fill({ { "/a/y" } });
    m_doc.sortRowsByColumn(0); // sorts as a first click: ascending
    EXPECT_TRUE(m_doc.sortAscending(0));
    EXPECT_EQ(displayOrder(), (std::vector<int> { 0, 1 }));
}

TEST_F(ResultOrderTest, FileNameAscendingThenDescending)
{
    fill({ { "/d/b.txt" }, { "/d/C.txt" }, { "/d/a.txt" } });
    m_doc.sortRowsByColumn(0);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 0, 1 })); // case ignored: a, b, C
    m_doc.sortRowsByColumn(0);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 0, 2 }));
}

TEST_F(ResultOrderTest, EqualKeysKeepTheirOrderInBothDirections)
{
    fill({ { "/z/plan.txt", 10 }, { "/a/PLAN.txt", 10 }, { "/m/other", 5 } });
    m_doc.sortRowsByColumn(3);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 0, 1 }));
    m_doc.sortRowsByColumn(3);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 0, 1, 2 }));
    // Same name in two folders: by name they stay together in their previous order, by folder they part.
    m_doc.sortRowsByColumn(0);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 0, 1 }));
    m_doc.sortRowsByColumn(1);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 2, 0 }));
}

TEST_F(ResultOrderTest, TypeThenNameListsEachTypeInNameOrder)
{
    fill({ { "/d/c", 0, 0, "Text" }, { "/d/a", 0, 0, "Image" }, { "/d/b", 0, 0, "Text" } });
    m_doc.sortRowsByColumn(0);
    m_doc.sortRowsByColumn(2);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 2, 0 }));
}

TEST_F(ResultOrderTest, TypeNamesCompareByteByByte)
{
    fill({ { "/1", 0, 0, "alpha" }, { "/2", 0, 0, "Zeta" }, { "/3", 0, 0, "\xC3\xA9t\xC3\xA9" } });
    m_doc.sortRowsByColumn(2);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 0, 2 })); // 'Z' < 'a' < 0xC3
}

TEST_F(ResultOrderTest, SizesAndTimesAre64Bit)
{
    fill({ { "/big", 5'000'000'000, 4'102'444'800 }, { "/small", 1, 1 }, { "/unreadable", 0, 0 } });
    m_doc.sortRowsByColumn(3);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 1, 0 }));
    m_doc.sortRowsByColumn(4);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 1, 0 }));
}

TEST_F(ResultOrderTest, FolderKeyIsThePartBeforeTheLastSlash)
{
    CLine top("/top.txt");
    CLine nested("/a/top.txt");
    EXPECT_FALSE(isGreater(top, nested, 1)); // "" < "/a"
    EXPECT_TRUE(isGreater(nested, top, 1));
    EXPECT_FALSE(isGreater(nested, top, 7)); // no such column: never greater
}

TEST_F(ResultOrderTest, RemovedRowsAreNotSorted)
{
    fill({ { "/c" }, { "/b" }, { "/a" } });
    m_doc.removeDisplayRow(2);
    m_doc.sortRowsByColumn(0);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 0 }));
}

// Hits order as numbers (9 before 10), a count at the hit limit after the same count below it, and equal
// counts keep their order both ways.
TEST_F(ResultOrderTest, HitsOrderAsNumbers)
{
    fill({ { "/d/ten" }, { "/d/nine" }, { "/d/full" }, { "/d/same" }, { "/d/also-ten" } });
    const std::pair<int, bool> hits[] = { { 10, false }, { 9, false }, { 1024, true }, { 1024, false }, { 10, false } };
    for (int record = 0; record < 5; ++record) {
        const auto [count, limitReached] = hits[record];
        for (int i = 0; i < count; ++i)
            m_doc.record(record).appendHit({ static_cast<uint64_t>(i), 0, 1, 0 });
        m_doc.record(record).hitLimitReached = limitReached;
    }
    m_doc.sortRowsByColumn(5);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 1, 0, 4, 3, 2 }));
    m_doc.sortRowsByColumn(5);
    EXPECT_EQ(displayOrder(), (std::vector<int> { 2, 3, 0, 4, 1 }));
}

// Names and folders: ASCII capitals fold, other bytes compare unsigned as they are (0xC3 after 'z'), a
// prefix comes first, and keys equal after folding keep their order.
TEST_F(ResultOrderTest, NamesAndFoldersFoldAsciiOnlyAndCompareBytesUnsigned)
{
    const struct {
        int column;
        std::vector<Row> rows;
        std::vector<int> ascending;
    } cases[] = {
        { 0, { { "/d/\xC3\xA9t\xC3\xA9" }, { "/d/Zeta" }, { "/d/alpha" }, { "/d/Al" } }, { 3, 2, 1, 0 } },
        { 1, { { "/Ab/x" }, { "/ab/y" }, { "/\xC3\x89/z" }, { "/a/w" } }, { 3, 0, 1, 2 } },
    };
    for (const auto& test : cases) {
        CVellickDoc doc;
        for (const Row& row : test.rows)
            doc.addRecord(row.path, FileKind::Text, FileStatus {});
        doc.sortRowsByColumn(test.column);
        std::vector<int> order;
        for (int row = 0; row < doc.rowCount(); ++row)
            order.push_back(doc.recordAtRow(row));
        EXPECT_EQ(order, test.ascending) << "column " << test.column;
    }
}

// The sort agrees with isGreater on keys made to catch shortcuts: long shared beginnings, keys that end
// inside the first eight bytes, zero bytes, bytes above 0x7F and capitals.
TEST_F(ResultOrderTest, SortAgreesWithIsGreaterOnTrickyKeys)
{
    const std::string pieces[]
        = { "", "a", "A", "ab", std::string("a\0", 2), "\xC3\xA9", "Z", "zz", "abcdefgh", "ABCDEFGHI" };
    std::vector<CLine> lines;
    unsigned state = 7;
    for (int i = 0; i < 600; ++i) {
        std::string folder = "/shared/begin";
        std::string name;
        for (int part = 0; part < 3; ++part) {
            state = state * 1103515245u + 12345u;
            folder += pieces[(state >> 8) % 10];
            name += pieces[(state >> 16) % 10];
        }
        lines.emplace_back(folder + "/" + name + "x");
        lines.back().typeName = name;
    }
    for (int column = 0; column < 3; ++column) {
        for (const bool ascending : { true, false }) {
            std::vector<int32_t> order(lines.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = static_cast<int32_t>(i);
            std::vector<int32_t> expected = order;
            const auto line = [&](int32_t record) -> const CLine& { return lines[static_cast<std::size_t>(record)]; };
            std::stable_sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) {
                return ascending ? isGreater(line(b), line(a), column) : isGreater(line(a), line(b), column);
            });
            sortRows(order.begin(), order.end(), column, ascending, line);
            EXPECT_EQ(order, expected) << "column " << column << (ascending ? " ascending" : " descending");
        }
    }
}
