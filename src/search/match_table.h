#pragma once

#include <array>
#include <cstdint>

namespace vellick {

// The byte match rule of one scanner setting, folded into a table: matches(p, s) tells whether stream
// byte s matches pattern byte p.
struct MatchRules {
    bool ignoreCase = false; // a capital A-Z matches its lower-case pattern byte
    bool wholeWord = false; // a pattern space matches any byte that is not alphanumeric
    bool spaceMatchesBlank = false; // a pattern space matches white space and unprintable bytes
    bool zeroMatchesFF = false; // pattern byte 0xFF also matches a zero byte
    bool skipUnprintable = false; // bytes neither printable nor white space match nothing
};

class MatchTable {
public:
    MatchTable() = default;
    explicit MatchTable(const MatchRules& rules);

    bool matches(unsigned char patternByte, unsigned char streamByte) const
    {
        return (m_rows[patternByte][streamByte >> 6] >> (streamByte & 63)) & 1;
    }

    // The 256-bit set of stream bytes that match a pattern byte.
    const std::array<uint64_t, 4>& row(unsigned char patternByte) const { return m_rows[patternByte]; }

    static bool byteMatches(unsigned char patternByte, unsigned char streamByte, const MatchRules& rules);

private:
    std::array<std::array<uint64_t, 4>, 256> m_rows {};
};

} // namespace vellick
