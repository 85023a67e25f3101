#pragma once

#include <QPoint>
#include <QString>
#include <string>

namespace vellick {

// What the result lists and text panes ask of the main frame. The frame implements it; tests may too.
class ViewHost {
public:
    virtual ~ViewHost() = default;
    // The status bar's message pane.
    virtual void setStatusText(const QString& text) = 0;
    // The keywords box takes the text (bytes, shown as the text pane shows them), gets the focus with the
    // text selected, and the text goes to the clipboard unless it is empty.
    virtual void setKeywordText(const std::string& bytes) = 0;
    // The counts the status bar shows as "line: %d" and "key: %d".
    virtual void setTextCounts(int lineCount, int hitCount) = 0;
    // An information message box captioned "Vellick".
    virtual void showMessage(const QString& text) = 0;
    // True while a search runs: selection changes, the context menu and opening are refused then.
    virtual bool searchRunning() const = 0;
    // Opens the current record's file with its program (double click in the list), also during a search.
    virtual void openCurrentFile() = 0;
    // The list's context menu at a point on the screen.
    virtual void showListContextMenu(const QPoint& globalPos) = 0;
};

} // namespace vellick
