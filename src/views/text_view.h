#pragma once

#include "results/vellick_doc.h"
#include "views/text_selection.h"

#include <QAbstractScrollArea>
#include <QStringList>

namespace vellick {

class ViewHost;

// The text pane: the display lines of the document's current record, each with its line-number prefix
// in blue (when shown) and the keywords in red. The user drags within one line to select characters;
// Copy puts them on the clipboard and a double click makes them the keyword text. Painting loads the
// record's surrounding text on demand and reports the line and hit counts to the frame.
class CTextView : public QAbstractScrollArea, public DocumentObserver {
    Q_OBJECT
public:
    CTextView(CVellickDoc& doc, ViewHost& host, QWidget* parent = nullptr);
    ~CTextView() override;

    // Back to the top-left corner, no selection, everything drawn again.
    void ResetTextPane();
    // No selection, everything drawn again.
    void ClearSelection();

    bool hasSelectedText() const { return m_selection.hasText(); }
    QString selectedText() const { return m_selection.selectedText(); }
    // Copy: the selected characters go to the clipboard.
    void copySelection() const;

    void onDocumentUpdate(DocumentHint hint) override;

signals:
    // A right click on a display line of the current record: the hit the line begins with.
    void lineMenuRequested(const QPoint& globalPos, int recordIndex, int hit);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CLine* currentRecord() const;
    // Loads the current record's surrounding text; messages are kept to be shown after painting.
    bool loadCurrent(CLine& line);
    int drawContexts(QPainter& painter, CLine& line, const QRect& area);
    void drawLine(QPainter& painter, const CLine& line, const DisplayLine& displayLine, int top) const;
    void drawSelection(QPainter& painter) const;
    void showPendingMessages();
    void updateScrollRanges(const CLine* line, const std::vector<DisplayLine>& lines);
    int pitch() const;
    QPoint contentPoint(const QPoint& viewportPoint) const;
    // The display line under a point of the viewport, or -1.
    int displayLineAt(const std::vector<DisplayLine>& lines, const QPoint& viewportPoint) const;
    TextSelection::TextWidth textWidth() const;

    CVellickDoc& m_doc;
    ViewHost& m_host;
    TextSelection m_selection;
    QStringList m_pendingMessages;
    int m_contentWidth = -1; // widest display line of the current record, -1 when to be measured
};

} // namespace vellick
