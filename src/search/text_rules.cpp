#include "search/text_rules.h"

#include "base/byte_classes.h"

#include <algorithm>

namespace vellick {

std::string_view trimWhiteSpace(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isWhiteSpace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && isWhiteSpace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

std::string trimText(std::string_view text)
{
    std::string trimmed(trimWhiteSpace(text));
    for (char& c : trimmed) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    return trimmed;
}

bool hasSeveralWords(std::string_view text)
{
    if (text.size() <= 1)
        return false;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    const std::size_t last = text.find_last_not_of(' ');
    if (last - first + 1 < 4)
        return false;
    return text.substr(first, last - first + 1).find(' ') != std::string_view::npos;
}

bool isValidKeyword(std::string_view word)
{
    return word.size() >= 2 && word.find_first_not_of('?') != std::string_view::npos;
}

std::vector<std::string_view> splitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t begin = text.find_first_not_of(' ', pos);
        if (begin == std::string_view::npos)
            break;
        std::size_t end = text.find(' ', begin);
        if (end == std::string_view::npos)
            end = text.size();
        words.push_back(text.substr(begin, end - begin));
        pos = end;
    }
    return words;
}

std::string_view cutText(std::string_view text, std::size_t limit)
{
    return text.substr(0, std::min(text.size(), limit));
}

} // namespace vellick
