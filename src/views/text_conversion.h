#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vellick {

// The core holds texts as bytes; the window shows them as QString. File names are bytes in the locale's
// encoding (QFile::decodeName / encodeName), so a name that is not valid UTF-8 still names its file.

QString fromPath(std::string_view path);
std::string toPath(const QString& path);

// Keywords and other typed texts travel as UTF-8.
QString fromText(std::string_view text);
std::string toText(const QString& text);

} // namespace vellick
