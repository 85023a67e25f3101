#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellick {

// The full path of a name in a directory: "/" between them ("/" + name when the directory is "/").
std::string joinPath(std::string_view directory, std::string_view name);

// The text with a leading "~" or "~/" replaced by the home folder: $HOME, or the password database's
// entry of the user when HOME is unset or empty. With neither, the text is left as it is.
std::string expandHome(const std::string& text);

// The process's current directory (absolute, links resolved), or nothing when it cannot be read.
std::optional<std::string> currentDirectory();

} // namespace vellick
