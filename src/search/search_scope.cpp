#include "search/search_scope.h"

#include "search/file_patterns.h"
#include "search/text_rules.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace vellick {

namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<int64_t> parseCount(std::string_view digits)
{
    int64_t value = 0;
    if (digits.empty())
        return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 0)
        return std::nullopt;
    return value;
}

std::vector<std::string> splitTrimmed(std::string_view text, std::string_view separators)
{
    std::vector<std::string> pieces;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(separators);
        const std::string_view piece = trimmed(text.substr(0, end));
        if (!piece.empty())
            pieces.emplace_back(piece);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return pieces;
}

} // namespace

bool folderExcluded(const SearchScope& scope, std::string_view name, std::string_view pathBelowStart)
{
    for (const std::string& pattern : scope.excludedFolders) {
        const bool byPath = pattern.find('/') != std::string::npos;
        if (byPath ? matchesPathPattern(pattern, pathBelowStart) : matchesFilePattern(pattern, name))
            return true;
    }
    return false;
}

bool statusInScope(const SearchScope& scope, int64_t size, int64_t modified)
{
    return (!scope.minSize || size >= *scope.minSize) && (!scope.maxSize || size <= *scope.maxSize)
        && (!scope.modifiedAfter || modified >= *scope.modifiedAfter)
        && (!scope.modifiedBefore || modified < *scope.modifiedBefore);
}

std::optional<int64_t> parseByteSize(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && (text.back() == 'b' || text.back() == 'B'))
        text.remove_suffix(1);
    int shift = 0;
    if (!text.empty()) {
        switch (text.back()) {
        case 'k':
        case 'K':
            shift = 10;
            break;
        case 'm':
        case 'M':
            shift = 20;
            break;
        case 'g':
        case 'G':
            shift = 30;
            break;
        default:
            break;
        }
    }
    if (shift != 0)
        text.remove_suffix(1);
    const std::optional<int64_t> count = parseCount(text);
    if (!count || *count > (std::numeric_limits<int64_t>::max() >> shift))
        return std::nullopt;
    return *count << shift;
}

std::optional<int64_t> parseDateBound(std::string_view text, std::time_t now)
{
    text = trimmed(text);
    if (!text.empty() && (text.back() == 'd' || text.back() == 'D')) {
        const std::optional<int64_t> days = parseCount(text.substr(0, text.size() - 1));
        if (!days || *days > std::numeric_limits<int64_t>::max() / kSecondsPerDay)
            return std::nullopt;
        return static_cast<int64_t>(now) - *days * kSecondsPerDay;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    char rest = 0;
    const std::string copy(text);
    if (text.size() != 10 || std::sscanf(copy.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3)
        return std::nullopt;
    std::tm date {};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_isdst = -1;
    const std::time_t moment = std::mktime(&date);
    // mktime moves days that do not exist (2026-02-30) on; those are refused.
    if (moment == static_cast<std::time_t>(-1) || date.tm_year != year - 1900 || date.tm_mon != month - 1
        || date.tm_mday != day)
        return std::nullopt;
    return static_cast<int64_t>(moment);
}

std::vector<std::string> splitNameList(std::string_view text)
{
    return splitTrimmed(text, ";,");
}

std::vector<std::string> splitFolderText(std::string_view text, const std::function<bool(const std::string&)>& isFolder)
{
    const std::string whole(trimmed(text));
    if (whole.find(';') == std::string::npos || isFolder(whole))
        return { whole };
    return splitTrimmed(text, ";");
}

FilePatternSet::FilePatternSet(std::string_view text)
{
    for (std::string& pattern : splitFilePatterns(text)) {
        if (!pattern.empty() && pattern.front() == '!')
            m_excluded.push_back(pattern.substr(1));
        else
            m_included.push_back(std::move(pattern));
    }
}

bool FilePatternSet::matches(std::string_view name) const
{
    for (const std::string& pattern : m_excluded) {
        if (matchesFilePattern(pattern, name))
            return false;
    }
    if (m_included.empty())
        return !m_excluded.empty();
    for (const std::string& pattern : m_included) {
        if (matchesFilePattern(pattern, name))
            return true;
    }
    return false;
}

} // namespace vellick
