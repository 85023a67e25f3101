#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace vellick {

// The pieces of a freedesktop.org Trash entry that readers of the Trash (file managers, trash-cli) parse.

// A path as the Path= key holds it: every byte except '/' and the URI's unreserved characters as %XX.
std::string percentEncodePath(std::string_view path);

// The whole NAME.trashinfo text for a file deleted at `when` (written in local time).
std::string trashInfoText(std::string_view originalPath, std::time_t when);

// The name under which the n-th candidate (1, 2, ...) is kept in the Trash: the name itself first, then
// "stem_2.ext" and so on, cut so that NAME.trashinfo still fits a file name.
std::string trashEntryName(std::string_view name, int attempt);

} // namespace vellick
