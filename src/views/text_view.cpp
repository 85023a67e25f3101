#include "views/text_view.h"

#include "results/display_options.h"
#include "results/message_sink.h"
#include "search/search_options.h"
#include "search/text_rules.h"
#include "views/view_host.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vellick {

namespace {

constexpr int kTopMargin = 4;
constexpr int kLeftMargin = TextSelection::kLeftMargin;
constexpr int kHorizontalStep = 20;
const QColor kPrefixColour(0, 0, 255);
const QColor kKeywordColour(255, 0, 0);

// Keeps the loader's messages: a message box must not open in the middle of painting.
class MessageList : public MessageSink {
public:
    explicit MessageList(QStringList& messages)
        : m_messages(messages)
    {
    }
    void showMessage(const std::string& text) override { m_messages.append(QString::fromStdString(text)); }

private:
    QStringList& m_messages;
};

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CTextView::CTextView(CVellickDoc& doc, ViewHost& host, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_doc(doc)
    , m_host(host)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(kHorizontalStep);
    m_doc.addObserver(this);
}

CTextView::~CTextView()
{
    m_doc.removeObserver(this);
}

void CTextView::ResetTextPane()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    ClearSelection();
}

void CTextView::ClearSelection()
{
    m_selection.clear();
    m_contentWidth = -1;
    viewport()->update();
}

void CTextView::copySelection() const
{
    if (m_selection.hasText())
        QGuiApplication::clipboard()->setText(m_selection.selectedText());
}

void CTextView::onDocumentUpdate(DocumentHint hint)
{
    if (hint == DocumentHint::CurrentChanged || hint == DocumentHint::Cleared)
        ResetTextPane();
}

CLine* CTextView::currentRecord() const
{
    const int current = m_doc.current();
    return current >= 0 && current < m_doc.recordCount() ? &m_doc.record(current) : nullptr;
}

bool CTextView::loadCurrent(CLine& line)
{
    MessageList messages(m_pendingMessages);
    return line.LoadContexts(messages);
}

int CTextView::pitch() const
{
    return fontMetrics().height();
}

QPoint CTextView::contentPoint(const QPoint& viewportPoint) const
{
    return viewportPoint + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

TextSelection::TextWidth CTextView::textWidth() const
{
    const QFontMetrics metrics = fontMetrics();
    return [metrics](const QString& text, int n) { return metrics.horizontalAdvance(text.left(n)); };
}

void CTextView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    int lineCount = 0;
    int hitCount = 0;
    if (CLine* line = currentRecord()) {
        lineCount = drawContexts(painter, *line, event->rect());
        hitCount = static_cast<int>(line->hitCount());
    } else {
        updateScrollRanges(nullptr, {});
    }
    m_host.setTextCounts(lineCount, hitCount);
    drawSelection(painter);
    painter.end();
    if (!m_pendingMessages.isEmpty())
        QMetaObject::invokeMethod(this, &CTextView::showPendingMessages, Qt::QueuedConnection);
}

int CTextView::drawContexts(QPainter& painter, CLine& line, const QRect& area)
{
    if (line.contextState() == ContextState::Refused || !loadCurrent(line)) {
        updateScrollRanges(nullptr, {});
        return 0;
    }
    const std::vector<DisplayLine> lines = line.displayLines();
    updateScrollRanges(&line, lines);
    const int step = pitch();
    const int scrollY = verticalScrollBar()->value();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int top = kTopMargin + static_cast<int>(k) * step - scrollY;
        if (top + step < area.top() - step || top > area.bottom() + step)
            continue;
        drawLine(painter, line, lines[k], top);
    }
    return static_cast<int>(lines.size());
}

void CTextView::drawLine(QPainter& painter, const CLine& line, const DisplayLine& displayLine, int top) const
{
    const QFontMetrics metrics = fontMetrics();
    const int baseline = top + metrics.ascent();
    int x = kLeftMargin - horizontalScrollBar()->value();
    const QColor normal = palette().color(QPalette::Text);
    auto draw = [&](const QString& text, const QColor& colour) {
        if (text.isEmpty())
            return;
        painter.setPen(colour);
        painter.drawText(x, baseline, text);
        x += metrics.horizontalAdvance(text);
    };
    if (DisplayOptions::showLineNumbers())
        draw(latin1(line.lineNumberPrefix(displayLine.firstHit)), kPrefixColour);
    const QString context = latin1(line.hit(displayLine.firstHit).context);
    qsizetype drawn = 0;
    // Overlapping keywords come merged, so no character is drawn twice.
    for (const KeywordSpan& span : line.keywordSpans(displayLine)) {
        const auto start = static_cast<qsizetype>(span.start);
        const auto end = static_cast<qsizetype>(span.end);
        draw(context.mid(drawn, start - drawn), normal);
        draw(context.mid(start, end - start), kKeywordColour);
        drawn = end;
    }
    draw(context.mid(drawn), normal);
}

void CTextView::drawSelection(QPainter& painter) const
{
    if (!m_selection.isVisible(fontMetrics().averageCharWidth()))
        return;
    const int left = std::min(m_selection.startX(), m_selection.endX()) - horizontalScrollBar()->value();
    const int width = std::abs(m_selection.startX() - m_selection.endX());
    const int top = kTopMargin + m_selection.line() * pitch() - verticalScrollBar()->value();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(QRect(left, top, width, fontMetrics().height()), Qt::white);
}

void CTextView::showPendingMessages()
{
    const QStringList messages = std::exchange(m_pendingMessages, {});
    for (const QString& message : messages)
        m_host.showMessage(message);
}

// The scrollable area covers every display line and the widest of them.
void CTextView::updateScrollRanges(const CLine* line, const std::vector<DisplayLine>& lines)
{
    int width = 0;
    int height = 0;
    if (line && !lines.empty()) {
        if (m_contentWidth >= 0) {
            width = m_contentWidth;
        } else {
            const QFontMetrics metrics = fontMetrics();
            for (const DisplayLine& displayLine : lines) {
                const QString text = latin1(line->displayLineText(displayLine, DisplayOptions::showLineNumbers()));
                width = std::max(width, metrics.horizontalAdvance(text));
            }
            width += 2 * kLeftMargin;
        }
        height = 2 * kTopMargin + static_cast<int>(lines.size()) * pitch();
    }
    m_contentWidth = line ? width : -1;
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(pitch());
}

void CTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    CLine* line = currentRecord();
    if (!line)
        return;
    const std::vector<DisplayLine> lines = line->displayLines();
    const QPoint point = contentPoint(event->position().toPoint());
    const int index = displayLineAt(lines, event->position().toPoint());
    if (index < 0)
        return;
    const QString text
        = latin1(line->displayLineText(lines[static_cast<std::size_t>(index)], DisplayOptions::showLineNumbers()));
    m_selection.press(index, text, point.x(), fontMetrics().averageCharWidth(), textWidth());
}

int CTextView::displayLineAt(const std::vector<DisplayLine>& lines, const QPoint& viewportPoint) const
{
    const int index = std::max(0, contentPoint(viewportPoint).y() - kTopMargin) / pitch();
    return index < static_cast<int>(lines.size()) ? index : -1;
}

void CTextView::contextMenuEvent(QContextMenuEvent* event)
{
    CLine* line = currentRecord();
    if (!line || m_host.searchRunning())
        return;
    const std::vector<DisplayLine> lines = line->displayLines();
    const int index = displayLineAt(lines, event->pos());
    if (index < 0)
        return;
    emit lineMenuRequested(
        event->globalPos(), m_doc.current(), static_cast<int>(lines[static_cast<std::size_t>(index)].firstHit));
    event->accept();
}

void CTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_selection.dragging())
        return;
    const QPoint point = contentPoint(event->position().toPoint());
    if (m_selection.dragTo(point.x(), fontMetrics().averageCharWidth(), textWidth()))
        viewport()->update();
}

void CTextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_selection.release();
}

void CTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_selection.hasText())
        return;
    // The pane shows each byte as one Latin-1 character, so the selection converts back to the file's very
    // bytes; only ASCII white space is dropped.
    const std::string selected = m_selection.selectedText().toLatin1().toStdString();
    const std::string_view keywords = cutText(trimWhiteSpace(selected), kMaxKeywordText);
    if (!keywords.empty())
        m_host.setKeywordText(std::string(keywords));
}

} // namespace vellick
