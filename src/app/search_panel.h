#pragma once

#include "search/search_request.h"

#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vellick {

class BusyIndicator;

// The search controls above the result list: keywords, file patterns and folder with their recent
// lists, the options and the Start/Stop button. It has no behaviour of its own beyond the keyboard: the
// main frame reads it, enables its controls and answers its buttons.
class CSearchPanel : public QWidget {
    Q_OBJECT
public:
    explicit CSearchPanel(QWidget* parent = nullptr);

    QComboBox* keywordsBox() const { return m_keywords; }
    QComboBox* patternsBox() const { return m_patterns; }
    QComboBox* folderBox() const { return m_folder; }
    QComboBox* matchModeBox() const { return m_matchMode; }
    QPushButton* filesButton() const { return m_filesButton; }
    QPushButton* folderButton() const { return m_folderButton; }
    QPushButton* startButton() const { return m_start; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QCheckBox* wholeWordBox() const { return m_wholeWord; }
    QCheckBox* unicodeBox() const { return m_unicode; }
    QCheckBox* regexBox() const { return m_regex; }
    QCheckBox* subFoldersBox() const { return m_subFolders; }
    QCheckBox* listedBelowBox() const { return m_listedBelow; }
    BusyIndicator* busyIndicator() const { return m_busy; }

    // The texts and options as Start reads them (the match mode is the combo's selection).
    PanelInput input() const;
    // The keyword text as the enabling rules see it: trimmed.
    std::string trimmedKeywordText() const;
    // Keywords taken from a file: shown as the text pane shows them, searched for as these very bytes.
    void setKeywordBytes(const std::string& bytes);

    void setCombosReadOnly(bool readOnly);
    // Recent lists: most recent first.
    static void setRecentList(QComboBox& box, const std::vector<std::string>& entries, bool paths);
    static std::vector<std::string> recentList(const QComboBox& box, bool paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createSearchForGroup();
    QWidget* createSearchInGroup();
    QComboBox* createTextCombo(const QString& name);
    void setTabOrder();
    void describeControls();
    void watchPanelKeys();
    bool isFilesMnemonic(QEvent* event) const;
    std::string keywordBytes() const;

    QComboBox* m_keywords = nullptr;
    QPushButton* m_filesButton = nullptr;
    QComboBox* m_patterns = nullptr;
    QPushButton* m_folderButton = nullptr;
    QComboBox* m_folder = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_unicode = nullptr;
    QCheckBox* m_regex = nullptr;
    QComboBox* m_matchMode = nullptr;
    QCheckBox* m_subFolders = nullptr;
    QCheckBox* m_listedBelow = nullptr;
    QPushButton* m_start = nullptr;
    BusyIndicator* m_busy = nullptr;
    std::string m_keywordBytes; // the last keywords handed over from a file
};

} // namespace vellick
