#include "search/file_type_selection.h"

#include <algorithm>

namespace vellick {

std::string extensionOf(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::optional<int> FileTypeSelection::addFile(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    const std::string extension = extensionOf(name);
    for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i) {
        const std::string& entry = m_entries[static_cast<std::size_t>(i)];
        if (entry == name)
            return i;
        if (entry == "*.*" || (entry.starts_with('*') && entry.substr(1) == extension))
            m_entries.erase(m_entries.begin() + i);
    }
    return insertSorted(name);
}

int FileTypeSelection::addType(const std::string& pattern)
{
    if (pattern == "*.*")
        m_entries.clear();
    const std::string extension = pattern.substr(std::min<std::size_t>(1, pattern.size()));
    for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i) {
        const std::string& entry = m_entries[static_cast<std::size_t>(i)];
        if (entry == pattern)
            return i;
        const std::string entryExtension = extensionOf(entry);
        if (!entryExtension.empty() && (entryExtension == extension || entryExtension == ".*"))
            m_entries.erase(m_entries.begin() + i);
    }
    return insertSorted(pattern);
}

std::optional<int> FileTypeSelection::remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return std::nullopt;
    m_entries.erase(m_entries.begin() + index);
    if (m_entries.empty())
        return std::nullopt;
    return std::min(index, static_cast<int>(m_entries.size()) - 1);
}

std::string FileTypeSelection::resultText() const
{
    std::string text;
    for (const std::string& entry : m_entries)
        text += entry + ",";
    return text;
}

int FileTypeSelection::insertSorted(const std::string& entry)
{
    const auto place = std::lower_bound(m_entries.begin(), m_entries.end(), entry);
    const auto index = static_cast<int>(place - m_entries.begin());
    m_entries.insert(place, entry);
    return index;
}

} // namespace vellick
