#pragma once

#include "search/search_host.h"

#include <string>
#include <vector>

namespace vellick::test {

// A search host that records what the run asks of the user interface.
class RecordingHost : public vellick::SearchHost {
public:
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void blankIndicators() override { ++indicatorsBlanked; }
    void setStartButtonLabel(const std::string& label) override { buttonLabels.push_back(label); }
    void setCombosReadOnly(bool readOnly) override { combosReadOnly.push_back(readOnly); }
    void setBusy(bool isBusy) override { busy.push_back(isBusy); }
    void resetTextPane() override { ++textPaneResets; }
    void selectFirstRowAndFocus() override { ++firstRowSelections; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void updateRecentLists(
        const std::string& keywords, const std::string& folder, const std::string& filePatterns) override
    {
        recentTexts.push_back({ keywords, folder, filePatterns });
    }

    const std::string& lastStatus() const { return statusTexts.back(); }

    std::vector<std::string> statusTexts;
    std::vector<std::string> buttonLabels;
    std::vector<bool> combosReadOnly;
    std::vector<bool> busy;
    std::vector<std::string> messages;
    std::vector<std::vector<std::string>> recentTexts;
    int indicatorsBlanked = 0;
    int textPaneResets = 0;
    int firstRowSelections = 0;
};

} // namespace vellick::test
