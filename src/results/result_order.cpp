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

// A row sorted by a text. Its key is taken after the part that all keys share (a folder's leading path);
// the key's next eight bytes as a big-endian number (zeros past its end) decide most comparisons, and the
// rest of the key only when those are equal. The order is the keys' byte order.
struct TextRow {
    uint64_t head;
    std::string_view key;
    int32_t record;
};

struct NumberRow {
    int64_t number;
    int32_t record;
};

// With equal heads, a key of at most eight bytes is the other's beginning (zeros stand past its end).
bool textLess(const TextRow& a, const TextRow& b)
{
    if (a.head != b.head)
        return a.head < b.head;
    if (a.key.size() <= 8 || b.key.size() <= 8)
        return a.key.size() < b.key.size();
    return a.key.substr(8) < b.key.substr(8);
}

uint64_t headOf(std::string_view key)
{
    uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i)
        head = head << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

// Names and folders compare lower-cased: each key is lower-cased once, into one buffer. The keys point
// into `folded`.
void foldKeys(std::vector<TextRow>& rows, std::string& folded)
{
    std::size_t total = 0;
    for (const TextRow& row : rows)
        total += row.key.size();
    folded.reserve(total);
    for (TextRow& row : rows) {
        const std::size_t start = folded.size();
        for (const char c : row.key)
            folded.push_back(static_cast<char>(toLowerAscii(static_cast<unsigned char>(c))));
        row.key = std::string_view(folded.data() + start, row.key.size());
    }
}

void dropSharedPartAndTakeHeads(std::vector<TextRow>& rows)
{
    std::string_view shared = rows.empty() ? std::string_view() : rows.front().key;
    for (const TextRow& row : rows) {
        const std::size_t limit = std::min(shared.size(), row.key.size());
        std::size_t same = 0;
        while (same < limit && shared[same] == row.key[same])
            ++same;
        shared = shared.substr(0, same);
    }
    for (TextRow& row : rows) {
        row.key.remove_prefix(shared.size());
        row.head = headOf(row.key);
    }
}

template <class Row, class Less> void stableSort(std::vector<Row>& rows, bool ascending, Less less)
{
    if (ascending)
        std::stable_sort(rows.begin(), rows.end(), less);
    else
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) { return less(b, a); });
}

template <class Row> void writeBack(const std::vector<Row>& rows, std::vector<int32_t>::iterator first)
{
    for (const Row& row : rows)
        *first++ = row.record;
}

} // namespace

void sortRows(std::vector<int32_t>::iterator first, std::vector<int32_t>::iterator last, int column, bool ascending,
    const std::function<const CLine&(int32_t)>& recordOf)
{
    if (column < 0 || column > 5)
        return;
    const auto count = static_cast<std::size_t>(last - first);
    if (column >= 3) {
        std::vector<NumberRow> rows;
        rows.reserve(count);
        for (auto it = first; it != last; ++it)
            rows.push_back({ sortKey(recordOf(*it), column).number, *it });
        stableSort(rows, ascending, [](const NumberRow& a, const NumberRow& b) { return a.number < b.number; });
        writeBack(rows, first);
        return;
    }
    std::vector<TextRow> rows;
    rows.reserve(count);
    for (auto it = first; it != last; ++it)
        rows.push_back({ 0, sortKey(recordOf(*it), column).text, *it });
    std::string folded; // owns the lower-cased keys while the rows point into it
    if (column < 2)
        foldKeys(rows, folded);
    dropSharedPartAndTakeHeads(rows);
    // A byte comparison of string views is keyGreater's: unsigned bytes, a prefix before the longer text.
    stableSort(rows, ascending, [](const TextRow& a, const TextRow& b) { return textLess(a, b); });
    writeBack(rows, first);
}

} // namespace vellick
