#include "search/match_table.h"

#include "base/byte_classes.h"

namespace vellick {

bool MatchTable::byteMatches(unsigned char p, unsigned char s, const MatchRules& rules)
{
    if (rules.skipUnprintable && !isPrintable(s) && !isWhiteSpace(s))
        return false;
    if (s == p || p == '?')
        return true;
    if (rules.zeroMatchesFF && p == 0xFF && s == 0)
        return true;
    if (rules.ignoreCase && isUpper(s) && s + 32 == p)
        return true;
    if (p == ' ' && rules.wholeWord && !isAlnum(s))
        return true;
    return p == ' ' && rules.spaceMatchesBlank && (isWhiteSpace(s) || !isPrintable(s));
}

MatchTable::MatchTable(const MatchRules& rules)
{
    for (unsigned p = 0; p < 256; ++p) {
        for (unsigned s = 0; s < 256; ++s) {
            if (byteMatches(static_cast<unsigned char>(p), static_cast<unsigned char>(s), rules))
                m_rows[p][s >> 6] |= uint64_t { 1 } << (s & 63);
        }
    }
}

} // namespace vellick
