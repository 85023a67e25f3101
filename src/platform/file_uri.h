#pragma once

#include <string>
#include <string_view>

namespace vellick {

// The file:// URI of an absolute path, for the clipboard, drag and drop and the file manager. Every byte
// outside the unreserved characters and "/" is percent-encoded, so a name that is not valid UTF-8 keeps
// its exact bytes.
std::string fileUri(std::string_view path);

} // namespace vellick
