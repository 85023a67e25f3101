#include "settings/profile_file.h"

#include "base/byte_classes.h"
#include "search/text_rules.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace vellick {

namespace {

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

bool isBlank(char c)
{
    return isWhiteSpace(static_cast<unsigned char>(c));
}

// The program's buffers are C strings: a NUL byte ends the text.
std::string_view beforeNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::string_view dropQuotes(std::string_view text)
{
    if (text.size() >= 2 && isQuote(text.front()) && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

// What is stored for a value so that the read rules give the value back.
std::string storedForm(std::string_view value)
{
    value = beforeNul(value);
    const bool altered = !value.empty()
        && (isBlank(value.front()) || isBlank(value.back()) || dropQuotes(value).size() != value.size());
    return altered ? "\"" + std::string(value) + "\"" : std::string(value);
}

} // namespace

int parseProfileInt(std::string_view text)
{
    text = dropBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (char c : text) {
        if (!isDigit(static_cast<unsigned char>(c)))
            break;
        magnitude = std::min(limit, magnitude * 10 + (c - '0'));
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

ProfileFile::ProfileFile(std::string path)
    : m_path(std::move(path))
{
}

FileReadStatus ProfileFile::load()
{
    WholeFile file = readWholeFile(m_path, kMaxFileSize);
    if (std::count(file.content.begin(), file.content.end(), '\n') >= static_cast<std::ptrdiff_t>(kMaxLines))
        file = { FileReadStatus::Unusable, {} };
    m_status = file.status;
    m_document = IniDocument(file.content);
    return m_status;
}

std::optional<int> ProfileFile::findInt(std::string_view section, std::string_view key) const
{
    const auto value = m_document.find(section, key);
    return value ? std::optional(parseProfileInt(*value)) : std::nullopt;
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    return findInt(section, key).value_or(defaultValue);
}

std::string ProfileFile::getString(
    std::string_view section, std::string_view key, std::string_view defaultValue, std::size_t maxLength) const
{
    const auto value = m_document.find(section, key);
    const std::string_view text = value ? dropQuotes(dropBlanks(beforeNul(*value))) : defaultValue;
    return std::string(cutText(text, maxLength));
}

bool ProfileFile::setString(std::string_view section, std::string_view key, std::string_view value)
{
    return m_document.set(section, key, storedForm(value));
}

bool ProfileFile::setInt(std::string_view section, std::string_view key, int value)
{
    return m_document.set(section, key, std::to_string(value));
}

bool ProfileFile::save()
{
    if (m_status == FileReadStatus::Unusable)
        return false;
    if (m_status == FileReadStatus::Missing && !makeParentFolders(m_path))
        return false;
    return replaceWholeFile(m_path, m_document.text());
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    load();
    return setString(section, key, value) && save();
}

} // namespace vellick
