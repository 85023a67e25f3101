#pragma once

#include <QStackedWidget>

namespace vellick {

class CTextView;
class CVellickDoc;
class CVellickView;
class PaneSplitter;
class ResultListModel;
class ViewHost;

// The main window's two layouts, both alive for the whole run: side by side (list left of the text
// pane) and stacked (list above the text pane), each with its own result list and text pane on the one
// document. One is shown; the hidden one keeps its views, their state and its pane sizes.
class ResultLayouts : public QStackedWidget {
    Q_OBJECT
public:
    ResultLayouts(ResultListModel& model, CVellickDoc& doc, ViewHost& host, QWidget* parent = nullptr);

    bool stackedShown() const { return m_stackedShown; }
    void showLayout(bool stacked);

    CVellickView* list(bool stacked) const { return stacked ? m_stackedList : m_sideList; }
    CTextView* textPane(bool stacked) const { return stacked ? m_stackedText : m_sideText; }
    CVellickView* shownList() const { return list(m_stackedShown); }
    CTextView* shownTextPane() const { return textPane(m_stackedShown); }

    // width1 (side-by-side list pane) and height1 (stacked list pane); the text panes take the rest.
    void setListPaneSizes(int listWidth, int listHeight);
    struct PaneSizes {
        int listWidth, textWidth, listHeight, textHeight;
    };
    PaneSizes paneSizes() const;

private:
    PaneSplitter* m_side;
    PaneSplitter* m_stacked;
    CVellickView* m_sideList;
    CTextView* m_sideText;
    CVellickView* m_stackedList;
    CTextView* m_stackedText;
    bool m_stackedShown = false;
};

} // namespace vellick
