#include "search/ignore_rules.h"

namespace vellick {

namespace {

// Trailing blanks go unless the last one is escaped with a backslash.
std::string_view trimTrailingBlanks(std::string_view line)
{
    std::size_t end = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            end = i + 1;
        } else if (line[i] != ' ') {
            end = i + 1;
        }
    }
    return line.substr(0, end);
}

std::string_view lastPart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

IgnoreRules::IgnoreRules(std::string_view content)
{
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        addLine(content.substr(0, end));
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    }
}

void IgnoreRules::addLine(std::string_view line)
{
    line = trimTrailingBlanks(line);
    if (line.empty() || line.front() == '#')
        return;
    Pattern pattern { IgnoreGlob(""), false, false, false };
    if (line.front() == '!') {
        pattern.negated = true;
        line.remove_prefix(1);
    }
    if (!line.empty() && line.back() == '/') {
        pattern.foldersOnly = true;
        line.remove_suffix(1);
    }
    pattern.nameOnly = line.find('/') == std::string_view::npos;
    if (!line.empty() && line.front() == '/')
        line.remove_prefix(1);
    if (line.empty())
        return;
    pattern.glob = IgnoreGlob(line);
    m_patterns.push_back(std::move(pattern));
}

IgnoreVerdict IgnoreRules::verdict(std::string_view relativePath, bool isFolder) const
{
    for (auto it = m_patterns.rbegin(); it != m_patterns.rend(); ++it) {
        if (it->foldersOnly && !isFolder)
            continue;
        if (it->glob.matches(it->nameOnly ? lastPart(relativePath) : relativePath))
            return it->negated ? IgnoreVerdict::Included : IgnoreVerdict::Ignored;
    }
    return IgnoreVerdict::None;
}

void IgnoreStack::push(std::string folder, IgnoreRules rules)
{
    m_levels.push_back({ std::move(folder), std::move(rules) });
}

void IgnoreStack::pop()
{
    m_levels.pop_back();
}

bool IgnoreStack::ignored(std::string_view relativePath, bool isFolder) const
{
    for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level) {
        if (level->rules.empty())
            continue;
        std::string_view below = relativePath;
        if (!level->folder.empty()) {
            if (below.size() <= level->folder.size() || below.substr(0, level->folder.size()) != level->folder
                || below[level->folder.size()] != '/')
                continue;
            below.remove_prefix(level->folder.size() + 1);
        }
        const IgnoreVerdict verdict = level->rules.verdict(below, isFolder);
        if (verdict != IgnoreVerdict::None)
            return verdict == IgnoreVerdict::Ignored;
    }
    for (const IgnoreRules& rules : m_fallbacks) {
        const IgnoreVerdict verdict = rules.verdict(relativePath, isFolder);
        if (verdict != IgnoreVerdict::None)
            return verdict == IgnoreVerdict::Ignored;
    }
    return false;
}

} // namespace vellick
