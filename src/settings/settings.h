#pragma once

#include "search/search_options.h"
#include "settings/scope_settings.h"

#include <optional>
#include <string>
#include <vector>

namespace vellick {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The main window's outer rectangle in screen coordinates.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Every value the main window keeps in the settings file (the result lists' column widths are in
// ColumnWidths), with its default and clamp applied. The window loads it once at start-up, fills in
// what changed (sizes, options, recent lists) and saves it once at close.
struct Settings {
    WindowRect window; // wleft, wtop, wwidth, wheight
    bool stackedLayout = false; // horizon
    std::optional<int> listPaneWidth; // width1, the side-by-side list pane; none stored: half the client width
    int textPaneWidth = 0; // width2, written for the record only
    std::optional<int> listPaneHeight; // height1, the stacked list pane; none stored: a third of the client height
    int textPaneHeight = 0; // height2, written for the record only
    SearchSettings search; // searchhiden, maxkeys (1..1024)
    bool subFolders = false; // dosubdir
    MatchMode matchMode = MatchMode::AllWords; // allkeys (0..2)
    bool matchCase = false; // matchcase
    bool matchWholeWord = false; // matchword
    bool regex = false; // regex: the keyword text is one regular expression (only the value 1 turns it on)
    // editorcommand: Open at Line's command line, %f the file and %l the line; empty: the detected editor.
    std::string editorCommand;
    ScopeSettings scope; // excludedirs, minsize, maxsize, modafter, modbefore, binary, gitignore, inverse, documents

    // Recent lists, most recent first (keys1.., directory1.., file1..); updated with updateRecentList().
    std::vector<std::string> recentKeywords;
    std::vector<std::string> recentFolders;
    std::vector<std::string> recentFilePatterns;

    // The texts the three combos start with (set by loading, not saved).
    std::string keywordText; // keys1, or empty
    std::string folderText; // directory1, or the current directory
    std::string filePatternText = "*.*"; // file1, or "*.*" when missing or empty

    int listPaneWidthIn(int clientWidth) const { return listPaneWidth.value_or(clientWidth / 2); }
    int listPaneHeightIn(int clientHeight) const { return listPaneHeight.value_or(clientHeight / 3); }
};

// Reads the settings file; a missing or unusable file, or a missing key, gives the defaults. The window
// defaults depend on the primary screen's size.
Settings loadSettings(const std::string& path, ScreenSize screen);

// Writes the settings at close in one crash-safe replace that keeps everything else in the file. While
// the window is minimised the eight size keys keep their stored values. Recent lists write their first
// five entries at most and leave the keys behind them alone. False when the file could not be written;
// the caller may ignore it (the next run sees the earlier values).
bool saveSettings(const std::string& path, const Settings& settings, bool minimised);

} // namespace vellick
