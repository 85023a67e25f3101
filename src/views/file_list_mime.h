#pragma once

#include <QString>
#include <string>
#include <vector>

class QByteArray;
class QMimeData;

namespace vellick {

// Found files for the clipboard and for dragging: `text` as plain text, and the files as a text/uri-list
// (and the GNOME file managers' copied-files list), so a file manager pasting or taking a drop copies
// the files. The URIs keep a name's exact bytes, also when it is not valid UTF-8. The caller owns the
// result (or hands it to the clipboard or the drag).
QMimeData* fileListMimeData(const std::vector<std::string>& paths, const QString& text);

// The text/uri-list of the paths: one file:// URI a line, each line ended by CR LF.
QByteArray uriList(const std::vector<std::string>& paths);

} // namespace vellick
