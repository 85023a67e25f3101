#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// The search patterns of one run, built from the keyword text and the option flags: plain forms first,
// wide (16-bit) forms after them. In a pattern "?" matches any byte, a space is a delimiter class and
// 0xFF also matches a zero byte in the multi-pattern scanner. A regular expression is one pattern, the
// expression as typed. The search run owns the list of its last
// run; the report writer reads it to print the keywords.
class KeywordList {
public:
    static constexpr std::size_t kMaxWords = 100;
    static constexpr std::size_t kMaxWordLength = 32;
    static constexpr std::size_t kMaxUnicodeWords = kMaxWords / 2;

    KeywordList() = default;
    KeywordList(std::string_view keywordText, uint32_t flags);

    std::size_t count() const { return m_patterns.size(); }
    const std::string& pattern(std::size_t index) const { return m_patterns[index]; }
    const std::vector<std::string>& patterns() const { return m_patterns; }
    uint32_t flags() const { return m_flags; }

private:
    void addWordPatterns(std::string_view text);
    void addWidePatterns(unsigned char widePrefix);

    std::vector<std::string> m_patterns;
    uint32_t m_flags = 0;
};

} // namespace vellick
