#include "search/file_patterns.h"

#include "base/byte_classes.h"
#include "search/text_rules.h"

namespace vellick {

namespace {

bool sameByte(char patternByte, char nameByte)
{
    return patternByte == '?'
        || toLowerAscii(static_cast<unsigned char>(patternByte)) == toLowerAscii(static_cast<unsigned char>(nameByte));
}

// Classic glob with one backtracking point: the last "*" seen.
bool globMatch(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && sameByte(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesPathPattern(std::string_view pattern, std::string_view path)
{
    while (pattern.starts_with('/'))
        pattern.remove_prefix(1);
    while (pattern.ends_with('/'))
        pattern.remove_suffix(1);
    return !pattern.empty() && globMatch(pattern, path);
}

std::vector<std::string> splitFilePatterns(std::string_view text)
{
    std::vector<std::string> patterns;
    std::size_t pos = 0;
    while (pos <= text.size() && patterns.size() < kMaxFilePatterns) {
        std::size_t end = text.find_first_of(",;", pos);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > pos)
            patterns.push_back(trimText(cutText(text.substr(pos, end - pos), kMaxFilePatternLength)));
        pos = end + 1;
    }
    return patterns;
}

bool matchesFilePattern(std::string_view pattern, std::string_view name)
{
    if (pattern.empty() || pattern.find('/') != std::string_view::npos)
        return false;
    if (globMatch(pattern, name))
        return true;
    return pattern.size() >= 2 && pattern.ends_with(".*") && globMatch(pattern.substr(0, pattern.size() - 2), name);
}

} // namespace vellick
