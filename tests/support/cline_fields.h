#pragma once

#include "results/cline.h"

#include <cstdint>
#include <vector>

namespace vellick::test {

// A hit as the scanners give it, from its values in the order the tests list them.
inline vellick::Hit testHit(uint64_t line, uint64_t offset, uint32_t length, uint8_t pattern)
{
    vellick::Hit hit;
    hit.offset = offset;
    hit.line = line;
    hit.length = length;
    hit.pattern = pattern;
    return hit;
}

// One value of every hit of a record, in hit order, for comparing with a list.
template <typename Field> auto hitValues(const vellick::CLine& line, Field field)
{
    std::vector<std::remove_cvref_t<decltype(line.hit(0).*field)>> values;
    for (const vellick::HitEntry& hit : line.hits())
        values.push_back(hit.*field);
    return values;
}

inline std::vector<uint64_t> hitOffsets(const vellick::CLine& line)
{
    return hitValues(line, &vellick::HitEntry::offset);
}
inline std::vector<uint64_t> hitLines(const vellick::CLine& line)
{
    return hitValues(line, &vellick::HitEntry::line);
}
inline std::vector<uint32_t> hitLengths(const vellick::CLine& line)
{
    return hitValues(line, &vellick::HitEntry::length);
}

} // namespace vellick::test
