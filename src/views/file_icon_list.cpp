#include "views/file_icon_list.h"

#include "platform/linux/mime_file_types.h"

namespace vellick {

namespace {
constexpr const char* kPlainFileIcon = "text-x-generic";

// The first name the theme knows, else the fallback.
QIcon themeIcon(const std::vector<std::string>& names, const QIcon& fallback)
{
    for (const std::string& name : names) {
        if (!name.empty() && QIcon::hasThemeIcon(QString::fromStdString(name)))
            return QIcon::fromTheme(QString::fromStdString(name));
    }
    return fallback;
}
} // namespace

FileIconList::FileIconList(const MimeFileTypes* fileTypes)
    : m_fileTypes(fileTypes)
    , m_plainFile(QIcon::fromTheme(QString::fromLatin1(kPlainFileIcon)))
{
}

QIcon FileIconList::icon(int index)
{
    if (index < 0)
        return m_plainFile;
    if (static_cast<std::size_t>(index) >= m_icons.size())
        refresh();
    return static_cast<std::size_t>(index) < m_icons.size() ? m_icons[static_cast<std::size_t>(index)] : m_plainFile;
}

void FileIconList::refresh()
{
    if (!m_fileTypes)
        return;
    const std::vector<std::vector<std::string>> names = m_fileTypes->iconNames();
    for (std::size_t i = m_icons.size(); i < names.size(); ++i)
        m_icons.push_back(themeIcon(names[i], m_plainFile));
}

} // namespace vellick
