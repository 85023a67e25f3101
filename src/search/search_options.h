#pragma once

#include "search/search_scope.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellick {

// Option flags of one search; the values are the ones the scanners and the report writer test.
enum SearchFlag : uint32_t {
    IgnoreCase = 1,
    SubFolders = 2,
    AllWords = 4,
    AnyWord = 8,
    WholeWord = 16,
    WholePhrase = 32,
    UnicodeAware = 64,
    Regex = 128, // the keyword text is one regular expression
};

// Index of the match-mode combo: how several words combine.
enum class MatchMode : int { AllWords = 0, AnyWord = 1, WholePhrase = 2 };

// Limits of the three search texts (the panel's buffer sizes less the terminating zero).
inline constexpr std::size_t kMaxKeywordText = 3199;
inline constexpr std::size_t kMaxFolderText = 1023;
inline constexpr std::size_t kMaxFilePatternText = 8191;

// Per-file hit limit: range and default.
inline constexpr int kMinMaxKeys = 1;
inline constexpr int kMaxMaxKeys = 1024;

// Deepest folder level a walk may be limited to (vellick-cli's --max-depth); the root folder is level 0.
inline constexpr int kMaxWalkDepth = 1000000;

// The inputs of one search, captured when Start is pressed. Nothing in it changes while the search runs,
// and nothing else (no current directory) decides what is searched.
struct SearchCriteria {
    std::string keywordText; // trimmed
    std::string folder; // trimmed, as typed (the recent list keeps it); the current folder when the box was empty
    std::string rootFolder; // where the walk begins: absolute, "~" expanded, symbolic links resolved
    // Every folder the walk goes through, in the order given (the folder text may name several, split at
    // ";"); the first is rootFolder. Empty: rootFolder alone.
    std::vector<std::string> rootFolders;
    std::string filePatterns; // trimmed; "*.*" when the box was empty
    bool listedFilesMode = false;
    std::vector<std::string> listedPaths; // listed-files mode: the files to re-check, in row order
    uint32_t flags = 0;
    SearchScope scope; // which files are read and listed besides the folder and the patterns
};

// Process-wide values that belong to every search without being part of the panel.
struct SearchSettings {
    bool includeHidden = false;
    int maxKeys = kMaxMaxKeys;
    int maxDepth = -1; // with sub-folders: the deepest level entered; -1 for no limit
};

} // namespace vellick
