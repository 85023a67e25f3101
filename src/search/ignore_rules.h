#pragma once

#include "search/ignore_glob.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellick {

enum class IgnoreVerdict { None, Ignored, Included };

// The patterns of one ignore file (a folder's .gitignore, a repository's info/exclude, the user's global
// excludes file), for paths relative to the folder the file applies to. Lines are read as git reads them:
// "#" comments, blank lines, unescaped trailing blanks dropped, "!" re-includes, a trailing "/" matches
// folders only, a pattern without an inner "/" matches a name at any depth, one with it (or a leading "/")
// matches the path from the folder on.
class IgnoreRules {
public:
    IgnoreRules() = default;
    explicit IgnoreRules(std::string_view content);

    bool empty() const { return m_patterns.empty(); }
    // The last pattern that matches decides; None when no pattern matches.
    IgnoreVerdict verdict(std::string_view relativePath, bool isFolder) const;

private:
    struct Pattern {
        IgnoreGlob glob;
        bool negated = false;
        bool foldersOnly = false;
        bool nameOnly = false;
    };

    void addLine(std::string_view line);

    std::vector<Pattern> m_patterns;
};

// Every ignore file that applies during one walk: the .gitignore files of the folders from the top of the
// repository down to the folder being walked (deeper files take precedence), then the repository's
// info/exclude, then the user's global excludes file. Paths are relative to the top, "/"-separated.
class IgnoreStack {
public:
    // Files of lower precedence than every .gitignore, highest first.
    void setFallbacks(std::vector<IgnoreRules> fallbacks) { m_fallbacks = std::move(fallbacks); }
    // The rules of `folder` (relative to the top; "" for the top) while the walk is inside it.
    void push(std::string folder, IgnoreRules rules);
    void pop();
    std::size_t depth() const { return m_levels.size(); }

    bool ignored(std::string_view relativePath, bool isFolder) const;

private:
    struct Level {
        std::string folder;
        IgnoreRules rules;
    };

    std::vector<Level> m_levels;
    std::vector<IgnoreRules> m_fallbacks;
};

} // namespace vellick
