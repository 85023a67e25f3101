#include "support/scan_case_generator.h"

#include "search/search_options.h"
#include "search/text_rules.h"

#include <cstdio>

namespace vellick::test {

namespace {

bool isLowerLetter(unsigned char c)
{
    return c >= 'a' && c <= 'z';
}

bool passesStartChecks(const std::string& text, uint32_t flags)
{
    if (flags & WholePhrase)
        return isValidKeyword(text);
    for (std::string_view word : splitWords(text)) {
        if (!isValidKeyword(word))
            return false;
    }
    return true;
}

void dropHighBytes(std::string& data, std::size_t count)
{
    for (std::size_t i = 0; i < count && i < data.size(); ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            data[i] = 'x';
    }
}

} // namespace

ScanCaseGenerator::ScanCaseGenerator(uint64_t seed)
    : m_random(seed)
{
}

std::string ScanCaseGenerator::word(const std::string& alphabet, std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(alphabet[below(alphabet.size())]);
    return text;
}

// The flags Start derives from the panel: the mode only counts when the text holds several words, and
// whole word is dropped under "match whole phrase".
uint32_t ScanCaseGenerator::flagsFor(const std::string& text, bool phrase)
{
    uint32_t flags = chance(50) ? uint32_t { IgnoreCase } : 0;
    if (hasSeveralWords(text))
        flags |= phrase ? WholePhrase : (chance(50) ? AllWords : AnyWord);
    if (chance(40) && !(flags & WholePhrase))
        flags |= WholeWord;
    if (chance(30))
        flags |= UnicodeAware;
    return flags;
}

int ScanCaseGenerator::maxKeys()
{
    switch (below(10)) {
    case 0:
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    case 4:
        return 1 + static_cast<int>(below(20));
    default:
        return 1024;
    }
}

ScanRequest ScanCaseGenerator::request(bool manyWords)
{
    static const std::string kExtras = "?AB1-.?\xE9\xFF\x0B";
    for (;;) {
        const bool phrase = chance(30);
        std::string alphabet = "ab";
        for (std::size_t extras = below(4); extras > 0; --extras)
            alphabet.push_back(kExtras[below(chance(85) ? 7 : kExtras.size())]);
        std::size_t words = chance(55) ? 1 : 2 + below(3);
        if (manyWords && chance(3))
            words = 40 + below(71);
        if (phrase && words == 1)
            words = 2;
        ScanRequest request;
        for (std::size_t i = 0; i < words; ++i) {
            if (i > 0)
                request.keywordText += chance(10) ? "  " : " ";
            const std::size_t length = chance(8) ? 30 + below(11) : (phrase ? 1 : 2) + below(4);
            request.keywordText += word(alphabet, length);
        }
        request.flags = flagsFor(request.keywordText, phrase);
        request.maxKeys = maxKeys();
        if (passesStartChecks(request.keywordText, request.flags))
            return request;
    }
}

ScanRequest ScanCaseGenerator::prefixRequest()
{
    const std::string first = word("ab?", 4 + below(4));
    ScanRequest request;
    request.keywordText = (first[0] == '?' ? "a" : "") + first + " " + first.substr(0, 2 + below(2));
    if (chance(30))
        request.keywordText += " " + word("ab", 2);
    request.flags = (chance(50) ? AllWords : AnyWord) | (chance(50) ? uint32_t { IgnoreCase } : 0)
        | (chance(20) ? uint32_t { UnicodeAware } : 0);
    request.maxKeys = maxKeys();
    return request;
}

ScanRequest ScanCaseGenerator::longPhraseRequest()
{
    const std::string unit = chance(50) ? "ab " : "a?b ";
    ScanRequest request;
    while (request.keywordText.size() + unit.size() + 2 <= kMaxKeywordText)
        request.keywordText += unit;
    request.keywordText += "zz";
    request.flags
        = WholePhrase | (chance(50) ? uint32_t { IgnoreCase } : 0) | (chance(70) ? uint32_t { UnicodeAware } : 0);
    request.maxKeys = maxKeys();
    return request;
}

std::string ScanCaseGenerator::bytePool(const std::vector<std::string>& patterns, bool textOnly)
{
    std::string pool = "  \n\n\r\t.z";
    if (!textOnly)
        pool += std::string("\0\0\x01\x0B\x80\xE9\xFF", 7);
    for (std::size_t i = 0; i < patterns.size() && i < 8; ++i) {
        for (unsigned char c : patterns[i]) {
            if (c == '?' || c == 0xFF || c == ' ')
                continue;
            pool.push_back(static_cast<char>(c));
            if (isLowerLetter(c))
                pool.push_back(static_cast<char>(c - 32));
        }
    }
    return pool;
}

// Bytes that the pattern matches under most settings, and now and then bytes that it misses by one. A
// space becomes a blank or an unprintable byte (all delimiters), in some realizations a dot (a delimiter
// only under whole word); letters change case in half of the realizations (a match only when case is ignored).
std::string ScanCaseGenerator::realize(const std::string& pattern, const std::string& pool, bool textOnly)
{
    static const std::string kBlanks = std::string(" \t\n\r\x0B\0\x80", 7);
    const bool changeCase = chance(50);
    const bool dots = chance(30);
    std::string bytes;
    for (unsigned char p : pattern) {
        if (p == '?')
            bytes.push_back(pool[below(pool.size())]);
        else if (p == ' ')
            bytes.push_back(dots && chance(10) ? '.' : kBlanks[below(textOnly ? 5 : kBlanks.size())]);
        else if (p == 0xFF)
            bytes.push_back(chance(85) ? '\0' : static_cast<char>(0xFF));
        else if (changeCase && isLowerLetter(p) && chance(40))
            bytes.push_back(static_cast<char>(p - 32));
        else
            bytes.push_back(static_cast<char>(p));
    }
    if (!bytes.empty() && chance(15))
        bytes[below(bytes.size())] = '#';
    return bytes;
}

void ScanCaseGenerator::plant(std::string& data, const std::string& bytes, std::size_t at)
{
    for (std::size_t i = 0; i < bytes.size() && at + i < data.size(); ++i)
        data[at + i] = bytes[i];
}

// How far in front of a boundary a plant of `length` bytes starts: often so that its last byte is the
// last one of a read or the first one of the next.
std::size_t ScanCaseGenerator::straddle(std::size_t length)
{
    switch (below(6)) {
    case 0:
        return length;
    case 1:
        return length > 0 ? length - 1 : 0;
    case 2:
        return 1;
    default:
        return below(length + 1);
    }
}

std::string ScanCaseGenerator::file(const std::vector<std::string>& patterns, std::size_t size, FileStyle style,
    const std::vector<std::size_t>& boundaries)
{
    const bool textOnly = style == FileStyle::TextOnly;
    const std::string pool = bytePool(patterns, textOnly);
    const std::string filler = style == FileStyle::Sparse ? std::string(" \n\r\tz.0\0\x80", 10) : pool;
    std::string data(size, ' ');
    for (char& c : data)
        c = filler[below(filler.size())];
    if (!patterns.empty()) {
        const std::size_t plants = size > kBlock && style != FileStyle::Sparse ? 20 + below(60) : below(5);
        for (std::size_t i = 0; i < plants; ++i) {
            std::string bytes = realize(patterns[below(patterns.size())], pool, textOnly);
            if (chance(20))
                bytes += bytes; // back to back: hits must not overlap
            plant(data, bytes, below(size + 1));
        }
        const std::size_t perBoundary = style == FileStyle::Sparse ? 4 : 1;
        for (std::size_t boundary : boundaries) {
            for (std::size_t i = perBoundary + below(3); i > 0; --i) {
                const std::string bytes = realize(patterns[below(patterns.size())], pool, textOnly);
                const std::size_t back = straddle(bytes.size());
                plant(data, bytes, boundary > back ? boundary - back : 0);
            }
        }
    }
    if (textOnly) {
        dropHighBytes(data, data.size());
    } else if (size > 260 && chance(15)) {
        // One high byte right at the edge of the 256 bytes that decide the file kind.
        dropHighBytes(data, 260);
        data[250 + below(10)] = static_cast<char>(0x80 + below(128));
    }
    return data;
}

void ScanCaseGenerator::plantLateFailures(std::string& data, const std::vector<std::string>& patterns,
    const std::vector<std::size_t>& unitLengths, const std::vector<std::size_t>& boundaries)
{
    const std::string pool = bytePool(patterns, false);
    for (std::size_t boundary : boundaries) {
        const std::size_t index = below(patterns.size());
        const std::string& pattern = patterns[index];
        const std::string bytes = realize(pattern.substr(0, unitLengths[index]) + pattern, pool, false);
        const std::size_t back = 1 + below(pattern.size() - 1);
        plant(data, bytes, boundary > back ? boundary - back : 0);
    }
}

std::string escapeBytes(const std::string& bytes, std::size_t limit)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text.push_back(static_cast<char>(c));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    if (bytes.size() > limit)
        text += "...(" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

} // namespace vellick::test
