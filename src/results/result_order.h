#pragma once

#include "results/cline.h"

#include <algorithm>
#include <vector>

namespace vellick {

// Result ordering: the comparison of two records by a result-list column, and a stable sort of display
// rows with it. Names and folders compare ASCII-lower-cased byte by byte; the type name as it is; size and
// time as signed numbers. Any other column is never greater.
bool isGreater(const CLine& a, const CLine& b, int column);

// Sorts record indexes in [first, last) by a column; rows with equal keys keep their order.
template <typename Iterator, typename RecordOf>
void sortRows(Iterator first, Iterator last, int column, bool ascending, RecordOf recordOf)
{
    std::stable_sort(first, last, [&](int a, int b) {
        return ascending ? isGreater(recordOf(b), recordOf(a), column) : isGreater(recordOf(a), recordOf(b), column);
    });
}

} // namespace vellick
