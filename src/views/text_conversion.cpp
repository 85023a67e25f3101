#include "views/text_conversion.h"

#include "search/utf8_sequence.h"

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
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, pos);
        if (length == 0)
            text.append(QChar(static_cast<unsigned char>(bytes[pos++])));
        else
            text.append(QString::fromUtf8(bytes.data() + pos, static_cast<qsizetype>(length)));
        pos += length;
    }
    return text;
}

std::string toTextAsShown(const QString& shown, std::string_view original)
{
    return shown == fromTextBytes(original) ? std::string(original) : toText(shown);
}

} // namespace vellick
