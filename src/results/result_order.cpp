#include "results/result_order.h"

#include "base/byte_compare.h"

#include <algorithm>
#include <string>

namespace vellick {

namespace {

// A record's key for one column: a text for the first three columns, a number for the others.
struct SortKey {
    std::string_view text;
    int64_t number = 0;
};

SortKey sortKey(const CLine& line, int column)
{
    switch (column) {
    case 0:
        return { line.fileName() };
    case 1:
        return { line.folder() };
    case 2:
        return { line.typeName };
    case 3:
        return { {}, line.size };
    case 4:
        return { {}, line.modified };
    case 5:
        // A count that reached the limit ("1024+") sorts after the same count without it.
        return { {}, static_cast<int64_t>(line.hitCount()) * 2 + (line.hitLimitReached ? 1 : 0) };
    default:
        return {};
    }
}

bool keyGreater(const SortKey& a, const SortKey& b, int column)
{
    if (column >= 3)
        return a.number > b.number;
    return compareBytes(a.text, b.text, column != 2) > 0;
}

} // namespace

bool isGreater(const CLine& a, const CLine& b, int column)
{
    return keyGreater(sortKey(a, column), sortKey(b, column), column);
}

namespace {

struct Row {
    SortKey key;
    int32_t record;
};

// Names and folders compare lower-cased: each key is lower-cased once, into one buffer, so that comparing
// two keys during the sort is a plain byte comparison. The rows point into `folded`.
void foldTextKeys(std::vector<Row>& rows, std::string& folded)
{
    std::size_t total = 0;
    for (const Row& row : rows)
        total += row.key.text.size();
    folded.clear();
    folded.reserve(total);
    for (Row& row : rows) {
        const std::size_t start = folded.size();
        for (const char c : row.key.text)
            folded.push_back(static_cast<char>(toLowerAscii(static_cast<unsigned char>(c))));
        row.key.text = std::string_view(folded.data() + start, row.key.text.size());
    }
}

template <class Less> void stableSort(std::vector<Row>& rows, bool ascending, Less less)
{
    if (ascending)
        std::stable_sort(rows.begin(), rows.end(), less);
    else
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) { return less(b, a); });
}

} // namespace

void sortRows(std::vector<int32_t>::iterator first, std::vector<int32_t>::iterator last, int column, bool ascending,
    const std::function<const CLine&(int32_t)>& recordOf)
{
    if (column < 0 || column > 5)
        return;
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it)
        rows.push_back({ sortKey(recordOf(*it), column), *it });
    std::string folded; // owns the lower-cased keys while the rows point into it
    if (column < 2)
        foldTextKeys(rows, folded);
    // A byte comparison of string views is keyGreater's: unsigned bytes, a prefix before the longer text.
    if (column < 3)
        stableSort(rows, ascending, [](const Row& a, const Row& b) { return a.key.text < b.key.text; });
    else
        stableSort(rows, ascending, [](const Row& a, const Row& b) { return a.key.number < b.key.number; });
    for (const Row& row : rows)
        *first++ = row.record;
}

} // namespace vellick
