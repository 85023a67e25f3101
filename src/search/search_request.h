#pragma once

#include "search/search_options.h"

#include <optional>
#include <string>
#include <vector>

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
    SearchScope scope; // from the settings; passed on to the criteria as it is
    // The folder an empty folder text means and a relative one starts from (the window keeps its own);
    // empty: the process's current directory.
    std::string currentFolder;
};

// The outcome of Start's checks: the criteria, or the text of the message box that refused them.
struct SearchRequest {
    std::optional<SearchCriteria> criteria;
    std::string message; // set when criteria is empty
    bool patternsDefaulted = false; // the file-pattern box was empty and now reads "*.*"
    bool matchModeRead = false; // the text held several words, so the match mode was read
    // Set once the folder check has passed (also when a later check refuses): the folder that is now the
    // current folder of the front end, as criteria->rootFolder.
    std::optional<std::string> currentFolder;
};

// Start's checks in their order: trims the three texts, resolves the folder (a leading "~" means the
// home folder; a relative one starts at input.currentFolder), gathers the flags and checks the keywords.
// Nothing outside the request changes; the listed paths are the caller's to add.
SearchRequest prepareSearch(const PanelInput& input);

// The absolute, link-resolved folder a folder text names, starting from `currentFolder` (empty: the
// process's current directory); nothing when it is not a folder that can be entered.
std::optional<std::string> resolveFolder(const std::string& folderText, const std::string& currentFolder);

// Every folder a folder text names, resolved as resolveFolder does, in order: the text split at ";"
// unless it names one folder whole. Nothing when all are folders; else the first piece that is not one.
std::optional<std::string> resolveFolders(
    const std::string& folderText, const std::string& currentFolder, std::vector<std::string>& folders);

// Messages of the checks.
inline constexpr const char* kFolderNotFoundFormat = "Directory \"%s\" not found";
inline constexpr const char* kBadPhraseMessage
    = "Keyword cannot contain '?' only.\nIt cannot have only one charecter neither.";
inline constexpr const char* kBadWordMessage
    = "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.";

} // namespace vellick
