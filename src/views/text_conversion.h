#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vellick {

// The core holds texts as bytes; the window shows them as QString. File names are bytes in the locale's
// encoding (QFile::decodeName / encodeName), so a name that is not valid UTF-8 still names its file.

QString fromPath(std::string_view path);
std::string toPath(const QString& path);
// The bytes of `original` when `shown` is how the window shows them, otherwise `shown` as a path. A name
// that is not valid UTF-8 is shown with replacement characters: taken back as shown it would name
// another file, so a name left as shown keeps its bytes.
std::string toPathAsShown(const QString& shown, std::string_view original);

// Keywords and other typed texts travel as UTF-8.
QString fromText(std::string_view text);
std::string toText(const QString& text);

} // namespace vellick
