#include "platform/linux/mime_file_types.h"

#include "platform/linux/mime_lookup.h"

namespace vellick {

FileTypeInfo MimeFileTypes::describe(const std::string& path)
{
    const QMimeType type = mimeTypeOfFile(path);
    FileTypeInfo info;
    info.typeName = type.comment().toStdString();
    info.iconIndex = iconIndexFor(type.iconName().toStdString(), type.genericIconName().toStdString());
    return info;
}

int MimeFileTypes::iconIndexFor(const std::string& iconName, const std::string& genericIconName)
{
    const std::lock_guard lock(m_mutex);
    const std::string key = iconName + '\n' + genericIconName;
    const auto [it, inserted] = m_iconIndexes.try_emplace(key, static_cast<int>(m_icons.size()));
    if (inserted)
        m_icons.push_back({ iconName, genericIconName });
    return it->second;
}

std::vector<std::vector<std::string>> MimeFileTypes::iconNames() const
{
    const std::lock_guard lock(m_mutex);
    return m_icons;
}

} // namespace vellick
