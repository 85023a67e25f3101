#pragma once

#include "results/cline.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vellick {

// Result ordering: the comparison of two records by a result-list column, and a stable sort of display
// rows with it. Names and folders compare ASCII-lower-cased byte by byte; the type name as it is; size,
// time and hit count as numbers (a count at the hit limit after the same count below it). Any other column
// is never greater.
bool isGreater(const CLine& a, const CLine& b, int column);

// Sorts the record indexes in [first, last) by a column; rows with equal keys keep their order. Each
// record's key is taken once, so long lists sort quickly.
void sortRows(std::vector<int32_t>::iterator first, std::vector<int32_t>::iterator last, int column, bool ascending,
    const std::function<const CLine&(int32_t)>& recordOf);

} // namespace vellick
