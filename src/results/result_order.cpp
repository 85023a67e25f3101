#include "results/result_order.h"

#include "search/byte_compare.h"

namespace vellick {

bool isGreater(const CLine& a, const CLine& b, int column)
{
    switch (column) {
    case 0:
        return compareBytes(a.fileName(), b.fileName(), true) > 0;
    case 1:
        return compareBytes(a.folder(), b.folder(), true) > 0;
    case 2:
        return compareBytes(a.typeName, b.typeName, false) > 0;
    case 3:
        return a.size > b.size;
    case 4:
        return a.modified > b.modified;
    default:
        return false;
    }
}

} // namespace vellick
