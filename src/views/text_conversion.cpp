#include "views/text_conversion.h"

#include "views/shown_bytes.h"

#include <QFile>

namespace vellick {

QString fromPath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string toPathAsShown(const QString& shown, std::string_view original)
{
    return shown == fromPath(original) ? std::string(original) : toPath(shown);
}

QString fromText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toText(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString fromTextBytes(std::string_view bytes)
{
    return ShownBytes(bytes).text();
}

std::string toTextAsShown(const QString& shown, std::string_view original)
{
    return shown == fromTextBytes(original) ? std::string(original) : toText(shown);
}

} // namespace vellick
