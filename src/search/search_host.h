#pragma once

#include <string>

namespace vellick {

// The user-interface operations a search run drives. The window implements them on its panel and status
// bar, vellick-cli on stderr; every operation defaults to doing nothing. Letting the events flow between
// files is not here: the run returns from each step and its driver pumps.
class SearchHost {
public:
    virtual ~SearchHost() = default;
    virtual void setStatusText(const std::string& /*text*/) { }
    virtual void blankIndicators() { }
    virtual void setStartButtonLabel(const std::string& /*label*/) { }
    virtual void setCombosReadOnly(bool /*readOnly*/) { }
    virtual void setBusy(bool /*busy*/) { }
    virtual void beep() { }
    virtual void resetTextPane() { }
    virtual void invalidateTextPane() { }
    virtual void selectFirstRowAndFocus() { }
    virtual void repaintNow() { }
    // An information message box captioned "Vellick".
    virtual void showMessage(const std::string& /*text*/) { }
    // Moves the texts this run used to the top of the three recent lists (keywords, folder, file patterns).
    virtual void updateRecentLists(
        const std::string& /*keywords*/, const std::string& /*folder*/, const std::string& /*filePatterns*/)
    {
    }
};

} // namespace vellick
