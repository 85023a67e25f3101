#pragma once

#include "search/search_scope.h"
#include "settings/profile_file.h"

#include <ctime>
#include <optional>
#include <string>

namespace vellick {

// The search scope as the user types it in Advanced Settings and as vellick.ini keeps it: texts, so that
// "7d" stays "the last seven days" from one run to the next. Start turns it into a SearchScope with
// searchScopeFrom(). Every default leaves a search as it is without a scope.
struct ScopeSettings {
    std::string excludedFolders; // excludedirs: names or wildcards separated by ";" or ","
    std::string minSize; // minsize: "64K", "2MB", or empty
    std::string maxSize; // maxsize
    std::string modifiedAfter; // modafter: "YYYY-MM-DD" or "Nd", or empty
    std::string modifiedBefore; // modbefore
    bool binaryFiles = true; // binary
    bool gitignore = false; // gitignore
    bool filesWithoutHits = false; // inverse
    bool documents = false; // documents: search inside documents and archives

    bool operator==(const ScopeSettings&) const = default;
};

// The text fields of ScopeSettings, so that a refusal can say which one is wrong.
enum class ScopeField { None, MinSize, MaxSize, ModifiedAfter, ModifiedBefore };

// The scope, or the message that refuses the texts and the field it is about.
struct ScopeConversion {
    std::optional<SearchScope> scope;
    std::string message;
    ScopeField field = ScopeField::None;
};

// The settings as a SearchScope, relative days counted back from `now`. Refused: a size or date text that
// is not one, a smallest size above the largest, and a "modified after" that is not before "modified before"
// (no file could ever be listed).
ScopeConversion searchScopeFrom(const ScopeSettings& settings, std::time_t now);

// Reads the scope keys of section Settings; a value that could not have been written by the window (not
// a size, not a date, a flag other than 0 or 1, control characters, too long) loads as the default.
ScopeSettings loadScopeSettings(const ProfileFile& file);

// Writes the keys that differ from their default, and the ones the file already has, so that a file of
// a user who never touched the scope stays as it was.
void storeScopeSettings(ProfileFile& file, const ScopeSettings& settings);

// The longest excluded-folders text kept (the file-pattern box's limit).
inline constexpr std::size_t kMaxExcludedFoldersText = 8191;

} // namespace vellick
