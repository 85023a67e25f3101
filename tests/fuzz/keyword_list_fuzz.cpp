// Keyword-list building from arbitrary keyword text, panel choices and flags, with the text rules and the
// file-pattern list on the way: the lists must keep their limits and shapes whatever comes in, and the
// wildcard match must agree with a plain dynamic-programming matcher. (The scan plan built from a list is
// checked by file_scanner_fuzz, which builds one for every input anyway.)
#include "base/byte_classes.h"
#include "search/file_patterns.h"
#include "search/keyword_list.h"
#include "search/search_options.h"
#include "search/text_rules.h"
#include "support/fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

using namespace vellick;
using vellick::fuzz::fuzzCheck;

namespace {

// The flags Start would give for this text and these panel choices.
uint32_t panelFlags(const std::string& text, uint8_t choices)
{
    uint32_t flags = (choices & 1) ? 0u : uint32_t { IgnoreCase };
    if (hasSeveralWords(text)) {
        const int mode = (choices >> 1) % 3;
        flags |= mode == 0 ? AllWords : mode == 1 ? AnyWord : WholePhrase;
    }
    if ((choices & 8) && !(flags & WholePhrase))
        flags |= WholeWord;
    if (choices & 16)
        flags |= UnicodeAware;
    return flags;
}

void checkWide(const std::string& plain, const std::string& wide, char prefix)
{
    fuzzCheck(wide.size() == plain.size() * 2, "a wide form is twice as long as its plain form");
    for (std::size_t i = 0; i < plain.size(); ++i)
        fuzzCheck(wide[2 * i] == prefix && wide[2 * i + 1] == plain[i], "a wide form interleaves its prefix");
}

void checkPhrase(const KeywordList& list)
{
    fuzzCheck(list.count() == ((list.flags() & UnicodeAware) ? 2u : 1u), "a phrase is one pattern (two wide)");
    fuzzCheck(list.pattern(0).size() <= kMaxKeywordText, "a phrase has at most 3199 bytes");
    if (list.count() == 2)
        checkWide(list.pattern(0), list.pattern(1), '?');
}

void checkWords(const KeywordList& list)
{
    const bool unicode = list.flags() & UnicodeAware;
    const std::size_t plainCount = unicode ? list.count() / 2 : list.count();
    fuzzCheck(!unicode || list.count() % 2 == 0, "wide forms double the count");
    fuzzCheck(plainCount <= (unicode ? KeywordList::kMaxUnicodeWords : KeywordList::kMaxWords), "word slots");
    const std::size_t delimiters = (list.flags() & WholeWord) ? 2 : 0;
    for (std::size_t i = 0; i < plainCount; ++i) {
        const std::string& word = list.pattern(i);
        fuzzCheck(word.size() > delimiters && word.size() <= KeywordList::kMaxWordLength + delimiters, "word size");
        if (delimiters)
            fuzzCheck(word.front() == ' ' && word.back() == ' ', "a whole word is framed by spaces");
        if (list.flags() & IgnoreCase) {
            for (char c : word)
                fuzzCheck(!isUpper(static_cast<unsigned char>(c)), "ignore case lowers the pattern");
        }
        if (unicode)
            checkWide(word, list.pattern(plainCount + i), static_cast<char>(0xFF));
    }
}

// Does `pattern` match all of `name`: "*" any run, "?" one byte, other bytes ASCII case-insensitively.
bool referenceGlob(std::string_view pattern, std::string_view name)
{
    // matched[j]: the pattern so far matches name[0, j).
    std::vector<char> matched(name.size() + 1, 0);
    matched[0] = 1;
    for (char p : pattern) {
        std::vector<char> next(name.size() + 1, 0);
        for (std::size_t j = 0; j <= name.size(); ++j) {
            if (p == '*')
                next[j] = matched[j] || (j > 0 && next[j - 1]);
            else if (j > 0 && matched[j - 1])
                next[j] = p == '?'
                    || toLowerAscii(static_cast<unsigned char>(p))
                        == toLowerAscii(static_cast<unsigned char>(name[j - 1]));
        }
        matched = std::move(next);
    }
    return matched[name.size()];
}

void checkFilePatterns(std::string_view text, std::string_view name)
{
    const std::vector<std::string> patterns = splitFilePatterns(text);
    fuzzCheck(patterns.size() <= kMaxFilePatterns, "at most 31 file patterns");
    for (const std::string& pattern : patterns) {
        fuzzCheck(pattern.size() <= kMaxFilePatternLength, "a file pattern has at most 256 bytes");
        bool expected = false;
        if (!pattern.empty() && pattern.find('/') == std::string::npos) {
            expected = referenceGlob(pattern, name)
                || (pattern.ends_with(".*")
                    && referenceGlob(std::string_view(pattern).substr(0, pattern.size() - 2), name));
        }
        fuzzCheck(matchesFilePattern(pattern, name) == expected, "the wildcard match agrees with the reference");
    }
}

void checkTrimmed(const std::string& text)
{
    fuzzCheck(text.empty()
            || (!isWhiteSpace(static_cast<unsigned char>(text.front()))
                && !isWhiteSpace(static_cast<unsigned char>(text.back()))),
        "trimmed text has no blanks around it");
    fuzzCheck(text.find_first_of("\r\n\t") == std::string::npos, "trimmed text has no line breaks or tabs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint8_t choices = input.ConsumeIntegral<uint8_t>();
    const uint32_t rawFlags = input.ConsumeIntegral<uint8_t>() & 0x7F;
    const std::string name = input.ConsumeRandomLengthString(300);
    const std::string filePatterns = input.ConsumeRandomLengthString(kMaxFilePatternText + 8);
    const std::string raw = input.ConsumeRemainingBytesAsString();

    checkFilePatterns(trimText(cutText(filePatterns, kMaxFilePatternText)), name);

    // As Start builds it: the text cut to the panel's buffer and trimmed, flags from the panel.
    const std::string text = trimText(cutText(raw, kMaxKeywordText));
    checkTrimmed(text);
    for (std::string_view word : splitWords(text))
        fuzzCheck(!word.empty() && word.find(' ') == std::string_view::npos, "words hold no spaces");
    const KeywordList fromPanel(text, panelFlags(text, choices));
    (fromPanel.flags() & WholePhrase) ? checkPhrase(fromPanel) : checkWords(fromPanel);

    // Any text with any flags: the limits hold as well.
    const KeywordList anyFlags(raw, rawFlags);
    (anyFlags.flags() & WholePhrase) ? checkPhrase(anyFlags) : checkWords(anyFlags);
    return 0;
}
