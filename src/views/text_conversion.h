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

// Keyword texts may also be bytes that are not UTF-8 (taken from a file, or kept so in the settings file).
// Valid UTF-8 sequences are shown as their characters, every other byte as the Latin-1 character of its
// value.
QString fromTextBytes(std::string_view bytes);
// The bytes of `original` when `shown` is how they are shown, otherwise `shown` as UTF-8 text.
std::string toTextAsShown(const QString& shown, std::string_view original);

} // namespace vellick
