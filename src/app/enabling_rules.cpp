#include "app/enabling_rules.h"

#include "search/text_rules.h"
#include "views/text_conversion.h"

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
    // A member's path is its archive's: renaming or deleting it would act on the whole archive.
    const bool member = facts.hasCurrentRecord && !facts.currentMemberName.empty();
    state.renameDeleteEnabled = state.openEnabled && !member;
    const bool cut = facts.hasCurrentRecord && facts.currentCutAtLimit;
    if (member) {
        state.currentNote = fromPath(facts.currentMemberName) + QStringLiteral(" is inside an archive")
            + (cut ? QStringLiteral(" and was searched only up to the expansion limit") : QString())
            + QStringLiteral(": it cannot be renamed or deleted.");
    } else if (cut) {
        state.currentNote = QStringLiteral("The text was searched only up to the expansion limit.");
    }
    state.listCommandsEnabled = holdsFiles;
    state.copyEnabled = facts.textSelected;
    state.pasteEnabled = facts.clipboardHasText;
    return state;
}

} // namespace vellick
