#include "search/keyword_list.h"

#include "base/byte_classes.h"
#include "search/search_options.h"
#include "search/text_rules.h"

namespace vellick {

KeywordList::KeywordList(std::string_view keywordText, uint32_t flags)
    : m_flags(flags)
{
    if (flags & Regex) {
        // An expression is one pattern, kept as typed: lower-casing would change its meaning (\W, \S, \D).
        m_patterns.emplace_back(cutText(keywordText, kMaxKeywordText));
        return;
    }
    std::string text(keywordText);
    if (flags & IgnoreCase) {
        for (char& c : text)
            c = static_cast<char>(toLowerAscii(static_cast<unsigned char>(c)));
    }
    if (flags & WholePhrase) {
        // The phrase slot holds at most the panel's 3199 characters, whoever builds the list.
        m_patterns.emplace_back(cutText(text, kMaxKeywordText));
        if (flags & UnicodeAware)
            addWidePatterns('?');
        return;
    }
    addWordPatterns(text);
    if (flags & UnicodeAware)
        addWidePatterns(0xFF);
}

void KeywordList::addWordPatterns(std::string_view text)
{
    // With the wide forms the plain words may fill only half of the slots.
    const std::size_t maxWords = (m_flags & UnicodeAware) ? kMaxUnicodeWords : kMaxWords;
    const bool wholeWord = (m_flags & WholeWord) != 0;
    for (std::string_view word : splitWords(cutText(text, kMaxKeywordText + 1))) {
        if (m_patterns.size() == maxWords)
            break;
        std::string pattern(cutText(word, kMaxWordLength));
        m_patterns.push_back(wholeWord ? " " + pattern + " " : pattern);
    }
}

// Appends, for every pattern so far, its 16-bit little-endian form: each byte preceded by `widePrefix`.
void KeywordList::addWidePatterns(unsigned char widePrefix)
{
    const std::size_t plainCount = m_patterns.size();
    for (std::size_t i = 0; i < plainCount; ++i) {
        std::string wide;
        wide.reserve(m_patterns[i].size() * 2);
        for (char c : m_patterns[i]) {
            wide.push_back(static_cast<char>(widePrefix));
            wide.push_back(c);
        }
        m_patterns.push_back(std::move(wide));
    }
}

} // namespace vellick
