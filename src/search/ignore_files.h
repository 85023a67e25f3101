#pragma once

#include "search/ignore_rules.h"

#include <string>

namespace vellick {

// Files larger than this are not read as ignore files (a repository's own stay far below it).
inline constexpr std::size_t kMaxIgnoreFileSize = 4 * 1024 * 1024;

// The rules of the ignore file `name` in the folder open as `folderFd`; no rules when it is missing, not
// a regular file, unreadable or over kMaxIgnoreFileSize. Never blocks on a special file.
IgnoreRules readIgnoreFile(int folderFd, const char* name);

// What a walk from `startFolder` (absolute) starts with when it skips what git ignores. Inside a
// repository (the nearest folder upward that holds ".git"), the stack holds the repository's
// info/exclude and the user's global excludes file, and the .gitignore files of the folders from the
// repository's top down to the start folder itself; paths are then relative to the top, and the start
// folder is `startBelowTop` there. Outside a repository only the tree's own .gitignore files apply.
struct IgnoreSetup {
    IgnoreStack stack;
    std::string startBelowTop; // "" when the walk starts at the top
};
IgnoreSetup prepareIgnoreSetup(const std::string& startFolder);

// The user's global excludes file: core.excludesFile of git's user configuration files (the last one
// that sets it wins, "~/" expanded), else $XDG_CONFIG_HOME/git/ignore (~/.config/git/ignore).
std::string globalExcludesPath(const std::string& repositoryTop);

} // namespace vellick
