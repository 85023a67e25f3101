#pragma once

#include <QMimeType>
#include <string>

namespace vellick {

// The MIME type of a found file from its name and, when the name does not tell, its first bytes. The
// file is opened by its path's bytes, so a name that is not valid UTF-8 is still looked into; only a
// regular file is read, and never blocking.
QMimeType mimeTypeOfFile(const std::string& path);

} // namespace vellick
