#pragma once

#include "search/multi_literal_probe.h"

#include <string_view>
#include <vector>

namespace vellick {

// For an expression without literals that every match holds (`[A-Z]{4,}_[0-9]+`): a run of one to three
// single-byte sets that every match holds at adjacent positions (`_[0-9]`), rare enough in text that the
// regex scanner can look for it first and run RE2 only on the lines that hold it. Read from the expression's
// text: a flat sequence of characters, ASCII classes and repetitions; groups, `.`, negated classes and
// anchors only split the sequence, and anything else (alternation outside a group, flags, Unicode classes,
// escapes by code) gives no run. Under ignore case a letter is both its cases, and a position that may hold
// k or s is no single byte (the Kelvin sign and the long s fold to them) and splits the sequence too.
// Empty when there is no run or none rare enough to be worth looking for.
std::vector<ByteBits> requiredByteRun(std::string_view expression, bool ignoreCase);

} // namespace vellick
