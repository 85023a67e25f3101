#pragma once

#include "platform/shell_result.h"

#include <optional>
#include <string>
#include <string_view>

namespace vellick {

class CVellickDoc;
class FileRenamer;

// The message shown, captioned "Rename", when a typed name holds a forbidden character.
std::string forbiddenCharactersMessage();
inline constexpr const char* kRenameCaption = "Rename";

// The nine characters that may not appear in a new name: \ / : * ? " < > |. A NUL byte is refused too.
bool hasForbiddenCharacter(std::string_view name);

// The path a file gets when its name is replaced by `typed` (taken as typed), or nothing when there is
// nothing to do: an empty name, a path without "/", or the same name in any letter case (A to Z).
std::optional<std::string> renamedPath(std::string_view path, std::string_view typed);

enum class RenameStep { Ignored, Forbidden, Renamed, Failed };

struct RenameOutcome {
    RenameStep step = RenameStep::Ignored;
    ShellResult result; // for Failed: why
};

// The end of an in-place edit of `row`: checks the typed name, renames the file (never over an existing
// one) and on success gives the record its new path. Type and icon stay those of the old name.
RenameOutcome renameRow(CVellickDoc& doc, int row, const std::string& typed, FileRenamer& renamer);

} // namespace vellick
