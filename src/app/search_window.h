#pragma once

#include <string>

namespace vellick {

// What the search controller changes in the window while a search runs: the panel, the status bar, the
// text pane and the result list. The main frame implements it; the controller decides when and with
// which texts.
class SearchWindow {
public:
    virtual ~SearchWindow() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void blankIndicators() = 0;
    virtual void setStartButtonLabel(const std::string& label) = 0;
    virtual void setCombosReadOnly(bool readOnly) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void beep() = 0;
    virtual void resetTextPane() = 0;
    virtual void invalidateTextPane() = 0;
    virtual void selectFirstRowAndFocus() = 0;
    virtual void repaintNow() = 0;
    // An information message box captioned "Vellick".
    virtual void showMessage(const std::string& text) = 0;
    // Moves the texts a search used to the top of the three recent lists (keywords, folder, file patterns).
    virtual void updateRecentLists(
        const std::string& keywords, const std::string& folder, const std::string& filePatterns)
        = 0;
};

} // namespace vellick
