#pragma once

#include <QString>
#include <string>

namespace vellick {

// What the enabling rules look at, gathered by the main frame whenever the interface goes idle.
struct UiFacts {
    std::string trimmedKeywordText;
    int rowCount = 0; // rows of the shown result list
    bool hasCurrentRecord = false;
    bool listIsActiveView = true; // the result list, not the text pane, was the last pane in use
    bool listedBelowChecked = false;
    bool regexChecked = false; // "regular expression": the keyword text is one expression
    bool textSelected = false; // the text pane has a selection that is not empty
    bool clipboardHasText = false;
    int lineCount = 0; // display lines the text pane last drew
    int hitCount = 0; // hits of the record the text pane last drew
    std::string currentMemberName; // the current record's name when it is a member of an archive
    bool currentCutAtLimit = false; // the current record's text was cut at the expansion limit
};

// The states the rules give the panel, the status bar and the commands.
struct UiState {
    bool startEnabled = false;
    bool severalWords = false;
    bool matchModeEnabled = false; // several words that are not one regular expression
    bool listedBelowEnabled = false;
    bool listedBelowChecked = false; // unchecked whenever the list holds no files
    bool searchPlaceEnabled = true; // file patterns, folder and sub-folders boxes
    bool placeButtonsEnabled = true; // File(s) and Folder
    QString linePane;
    QString hitPane;
    bool openEnabled = false; // Open, Open With, Copy To, Copy Path and Name, Open Containing Folder, Remove
    bool renameDeleteEnabled = false; // Rename, Delete and Open at Line: not for a member of an archive
    QString currentNote; // why the current row cannot be renamed or deleted, or was cut; empty when nothing
    bool listCommandsEnabled = false; // Check All, Un Check All, Print, Print Preview, Save Search Result
    bool copyEnabled = false;
    bool pasteEnabled = false;
};

// The main frame's enabling rules, evaluated from the facts alone.
UiState evaluateEnablingRules(const UiFacts& facts);

} // namespace vellick
