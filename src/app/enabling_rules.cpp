#include "app/enabling_rules.h"

#include "search/text_rules.h"

namespace vellick {

namespace {
QString countText(const char* format, int count)
{
    return count > 0 ? QString::asprintf(format, count) : QString();
}
} // namespace

UiState evaluateEnablingRules(const UiFacts& facts)
{
    UiState state;
    state.startEnabled = facts.trimmedKeywordText.size() > 1;
    state.severalWords = hasSeveralWords(facts.trimmedKeywordText);
    state.matchModeEnabled = state.severalWords && !facts.regexChecked;

    const bool holdsFiles = facts.rowCount > 0;
    state.listedBelowEnabled = holdsFiles;
    state.listedBelowChecked = holdsFiles && facts.listedBelowChecked;
    state.searchPlaceEnabled = !state.listedBelowChecked;
    state.placeButtonsEnabled = !state.listedBelowChecked;

    state.linePane = countText("line: %d", facts.lineCount);
    state.hitPane = countText("key: %d", facts.hitCount);

    // While the list is the pane in use, the commands on one file need a highlighted file.
    state.openEnabled = holdsFiles && (!facts.listIsActiveView || facts.hasCurrentRecord);
    state.listCommandsEnabled = holdsFiles;
    state.copyEnabled = facts.textSelected;
    state.pasteEnabled = facts.clipboardHasText;
    return state;
}

} // namespace vellick
