#include "settings/ini_document.h"

#include "base/byte_classes.h"
#include "base/byte_compare.h"

#include <algorithm>

namespace vellick {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return compareBytes(a, b, true) == 0;
}

// "[name]" after optional blanks; the name runs to the last "]". A "[" without "]" is no header.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = dropBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return dropBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
    std::size_t equals; // position of the "=" in the line
};

std::optional<KeyLine> keyLine(std::string_view line)
{
    if (sectionName(line))
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine { dropBlanks(line.substr(0, equals)), dropBlanks(line.substr(equals + 1)), equals };
}

bool isStorableName(std::string_view name, std::string_view forbidden)
{
    return !name.empty() && dropBlanks(name).size() == name.size()
        && name.find_first_of(forbidden) == std::string_view::npos;
}

bool isStorableKey(std::string_view key)
{
    using namespace std::string_view_literals;
    return isStorableName(key, "\r\n\0="sv) && key.front() != '[';
}

bool isStorableSection(std::string_view section)
{
    using namespace std::string_view_literals;
    return isStorableName(section, "\r\n\0]"sv);
}

std::string oneLine(std::string_view value)
{
    std::string line(value);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

} // namespace

std::string_view dropBlanks(std::string_view text)
{
    while (!text.empty() && isWhiteSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isWhiteSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

IniDocument::IniDocument(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t lineFeed = text.find('\n');
        if (lineFeed == std::string_view::npos) {
            m_lines.push_back({ std::string(text), "" });
            break;
        }
        const bool crlf = lineFeed > 0 && text[lineFeed - 1] == '\r';
        const std::size_t textEnd = crlf ? lineFeed - 1 : lineFeed;
        m_lines.push_back({ std::string(text.substr(0, textEnd)), crlf ? "\r\n" : "\n" });
        text.remove_prefix(lineFeed + 1);
    }
}

std::optional<std::string_view> IniDocument::find(std::string_view section, std::string_view key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    return keyLine(m_lines[*index].text)->value;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    if (!isStorableSection(section) || !isStorableKey(key))
        return false;
    const std::string newValue = oneLine(value);
    const auto range = findSection(section);
    if (!range) {
        appendSection(section, std::string(key) + "=" + newValue);
        return true;
    }
    if (const auto index = findKey(*range, key)) {
        std::string& text = m_lines[*index].text;
        text = text.substr(0, keyLine(text)->equals + 1) + newValue;
        return true;
    }
    // After the section's last non-blank line, so blank lines before the next section stay in front of it.
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (!dropBlanks(m_lines[i].text).empty())
            insertAt = i + 1;
    }
    const std::string ending = newLineEnding();
    if (m_lines[insertAt - 1].ending.empty())
        m_lines[insertAt - 1].ending = ending;
    m_lines.insert(
        m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), { std::string(key) + "=" + newValue, ending });
    return true;
}

std::string IniDocument::text() const
{
    std::size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + line.ending.size();
    std::string text;
    text.reserve(size);
    for (const Line& line : m_lines)
        text.append(line.text).append(line.ending);
    return text;
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (!name || !sameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text))
            ++end;
        return SectionRange { i, end };
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const SectionRange& range, std::string_view key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto line = keyLine(m_lines[i].text);
        if (line && sameName(line->key, key))
            return i;
    }
    return std::nullopt;
}

void IniDocument::appendSection(std::string_view section, std::string line)
{
    const std::string ending = newLineEnding();
    if (!m_lines.empty() && m_lines.back().ending.empty())
        m_lines.back().ending = ending;
    m_lines.push_back({ "[" + std::string(section) + "]", ending });
    m_lines.push_back({ std::move(line), ending });
}

// New lines follow the file's own convention: the ending of its first complete line, else LF.
std::string IniDocument::newLineEnding() const
{
    for (const Line& line : m_lines) {
        if (!line.ending.empty())
            return line.ending;
    }
    return "\n";
}

} // namespace vellick
