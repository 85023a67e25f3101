#pragma once

#include "base/byte_classes.h"

#include <string_view>

namespace vellick {

// Three-way byte comparison on unsigned values, optionally with ASCII capitals folded to lower case:
// at the first difference the larger byte is greater; a prefix is smaller than the longer string.
inline int compareBytes(std::string_view a, std::string_view b, bool foldCase = false)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (foldCase) {
            x = toLowerAscii(x);
            y = toLowerAscii(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace vellick
