#pragma once

#include "search/ignore_rules.h"
#include "search/search_scope.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// What the folder walk leaves out besides hidden names and unmatched patterns: file patterns that exclude
// ("!"), excluded folders, the size and date bounds and, when asked, what git ignores. Everything is
// decided before a file is opened: names and paths first, the file's status last and only when a bound
// is set. Paths are "/"-separated and relative to the folder the walk started in. FolderWalk owns one
// and keeps it told of the folders it enters and leaves.
class WalkFilter {
public:
    WalkFilter(const SearchScope& scope, std::vector<std::string> excludedPatterns);

    // Whether a filter with this scope and these exclusions would leave anything out.
    static bool needed(const SearchScope& scope, const std::vector<std::string>& excludedPatterns);

    // A walk begins at the folder `rootPath` (absolute).
    void startRoot(const std::string& rootPath);
    // The walk went into the sub-folder at `pathBelowRoot`, open as `fd`, and later left it.
    void enterFolder(int fd, std::string_view pathBelowRoot);
    void leaveFolder();

    // Whether the walk enters the sub-folder `name` of the folder at `parentBelowRoot`.
    bool keepsFolder(std::string_view parentBelowRoot, std::string_view name);
    // Whether the file `name` (zero-terminated) in the folder at `folderBelowRoot`, open as `dirFd`, is
    // scanned.
    bool keepsFile(int dirFd, std::string_view folderBelowRoot, std::string_view name);

private:
    const std::string& pathBelowRoot(std::string_view folder, std::string_view name);
    const std::string& pathBelowTop(std::string_view pathBelowRoot);
    bool statusInBounds(int dirFd, const char* name) const;

    SearchScope m_scope;
    std::vector<std::string> m_excludedPatterns;
    bool m_boundsSet = false;
    IgnoreStack m_ignores; // with the scope's gitignore only
    std::string m_rootBelowTop; // the start folder's path from the top of its repository
    std::size_t m_rootLevels = 0; // levels of m_ignores the root's setup pushed
    std::string m_path; // scratch, so that no path is allocated per entry
    std::string m_topPath;
};

} // namespace vellick
