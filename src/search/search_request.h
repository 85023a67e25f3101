#pragma once

#include "search/search_options.h"

#include <optional>
#include <string>

namespace vellick {

// What the search panel holds when Start is pressed.
struct PanelInput {
    std::string keywordText;
    std::string folder;
    std::string filePatterns;
    bool listedFilesMode = false;
    bool matchCase = false;
    bool wholeWord = false;
    bool unicodeAware = false;
    bool subFolders = false;
    bool regex = false; // the keyword text is one regular expression; the match mode is not read
    MatchMode matchMode = MatchMode::AllWords;
};

// The outcome of Start's checks: the criteria, or the text of the message box that refused them.
struct SearchRequest {
    std::optional<SearchCriteria> criteria;
    std::string message; // set when criteria is empty
    bool patternsDefaulted = false; // the file-pattern box was empty and now reads "*.*"
    bool matchModeRead = false; // the text held several words, so the match mode was read
};

// Start's checks in their order: trims the three texts, makes the folder the process's current directory
// (a leading "~" means $HOME), gathers the flags and checks the keywords. A failed check leaves everything
// as it was, except that the current directory may have changed when only the keywords failed.
SearchRequest prepareSearch(const PanelInput& input);

// The process's current directory (absolute, links resolved), or nothing when it cannot be read.
std::optional<std::string> currentDirectory();

// The folder text with a leading "~" or "~/" replaced by $HOME.
std::string expandHome(const std::string& folder);

// Messages of the checks.
inline constexpr const char* kFolderNotFoundFormat = "Directory \"%s\" not found";
inline constexpr const char* kBadPhraseMessage
    = "Keyword cannot contain '?' only.\nIt cannot have only one charecter neither.";
inline constexpr const char* kBadWordMessage
    = "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.";

} // namespace vellick
