#include "views/file_list_mime.h"

#include "platform/file_uri.h"

#include <QByteArray>
#include <QMimeData>

namespace vellick {

QByteArray uriList(const std::vector<std::string>& paths)
{
    QByteArray list;
    for (const std::string& path : paths)
        list += QByteArray::fromStdString(fileUri(path)) + "\r\n";
    return list;
}

QMimeData* fileListMimeData(const std::vector<std::string>& paths, const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("text/uri-list"), uriList(paths));
    QByteArray copied = "copy";
    for (const std::string& path : paths)
        copied += '\n' + QByteArray::fromStdString(fileUri(path));
    data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    return data;
}

} // namespace vellick
