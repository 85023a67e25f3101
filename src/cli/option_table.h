#pragma once

#include <string>
#include <string_view>

namespace vellick {

// Every option of vellick-cli, in the order --help lists them. One table is both what the parser accepts and
// what --help prints (the man page and the shell completion are made from that help text).
enum class OptionId {
    Keyword,
    Regex,
    IgnoreCase,
    CaseSensitive,
    WordRegexp,
    AllWords,
    AnyWord,
    Phrase,
    Mode,
    Unicode,
    MaxCount,
    FilesWithoutMatch,
    Folder,
    Glob,
    ExcludeDir,
    MinSize,
    MaxSize,
    Newer,
    Older,
    Binary,
    NoBinary,
    Gitignore,
    Recursive,
    MaxDepth,
    Hidden,
    Listed,
    Threads,
    FilesWithMatches,
    Count,
    LineNumber,
    Color,
    Json,
    Context,
    NoLineNumbers,
    Quiet,
    Relative,
    Report,
    Format,
    Include,
    Help,
    Version,
};

enum class OptionArgument { None, Required, Optional };

struct OptionEntry {
    OptionId id;
    char shortName; // '\0' when there is none
    const char* longName;
    OptionArgument argument;
    const char* valueName; // shown in --help after "="
    const char* help; // one line; an option named "also" in another's line has its own row
};

// The table; `group` rows (id ignored, longName null) start a titled group in --help.
struct OptionRow {
    const char* groupTitle; // set on group rows only
    OptionEntry entry;
};

// The options in table order.
const OptionRow* optionRowsBegin();
const OptionRow* optionRowsEnd();

// The option with this long name, or with this unique prefix of one; null when none or several match
// (`ambiguous` tells which).
const OptionEntry* findLongOption(std::string_view name, bool& ambiguous);
const OptionEntry* findShortOption(char name);

// The text of --help.
std::string helpText();

} // namespace vellick
