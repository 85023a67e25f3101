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

// Calls take(record, key) for each row in order. The records lie scattered over memory and a long list's
// keys would mostly wait for them, so each record, and then its text, is fetched a few rows ahead.
template <class Take>
void forEachKey(std::vector<int32_t>::iterator first, std::vector<int32_t>::iterator last, int column,
    const std::function<const CLine&(int32_t)>& recordOf, Take take)
{
    constexpr std::size_t kAhead = 8;
    std::vector<const CLine*> lines;
    lines.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it)
        lines.push_back(&recordOf(*it));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i + 2 * kAhead < lines.size())
            __builtin_prefetch(lines[i + 2 * kAhead]);
        if (i + kAhead < lines.size())
            __builtin_prefetch(column == 2 ? lines[i + kAhead]->typeName.data() : lines[i + kAhead]->path.data());
        take(first[static_cast<std::ptrdiff_t>(i)], sortKey(*lines[i], column));
    }
}

// The text keys of the rows. Names and folders compare lower-cased: each is lower-cased once, while its
// record is at hand, into one buffer; the keys point into `folded`.
void takeTextKeys(std::vector<int32_t>::iterator first, std::vector<int32_t>::iterator last, int column,
    const std::function<const CLine&(int32_t)>& recordOf, std::vector<TextRow>& rows, std::string& folded)
{
    const bool fold = column < 2;
    if (fold)
        folded.reserve(rows.capacity() * 32);
    forEachKey(first, last, column, recordOf, [&](int32_t record, const SortKey& key) {
        if (!fold) {
            rows.push_back({ 0, key.text, record });
            return;
        }
        for (const char c : key.text)
            folded.push_back(static_cast<char>(toLowerAscii(static_cast<unsigned char>(c))));
        rows.push_back({ folded.size(), {}, record }); // the key's end until the buffer has stopped growing
    });
    if (!fold)
        return;
    std::size_t start = 0;
    for (TextRow& row : rows) {
        const auto end = static_cast<std::size_t>(row.head);
        row.key = std::string_view(folded).substr(start, end - start);
        start = end;
    }
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
        forEachKey(first, last, column, recordOf, [&](int32_t record, const SortKey& key) {
            rows.push_back({ key.number, record });
        });
        stableSort(rows, ascending, [](const NumberRow& a, const NumberRow& b) { return a.number < b.number; });
        writeBack(rows, first);
        return;
    }
    std::vector<TextRow> rows;
    rows.reserve(count);
    std::string folded; // owns the lower-cased keys while the rows point into it
    takeTextKeys(first, last, column, recordOf, rows, folded);
    dropSharedPartAndTakeHeads(rows);
    // A byte comparison of string views is keyGreater's: unsigned bytes, a prefix before the longer text.
    stableSort(rows, ascending, [](const TextRow& a, const TextRow& b) { return textLess(a, b); });
    writeBack(rows, first);
}

} // namespace vellick
