#include "app/status_panes.h"

#include <QLabel>
#include <QStatusBar>

namespace vellick {

namespace {
// A pane's accessible name is left unset, so that it is the pane's text and follows it (each change is
// announced as a name change); what the pane is goes into the description.
QLabel* createCountPane(QStatusBar& bar, const QString& description, const QString& widest)
{
    auto* pane = new QLabel(&bar);
    pane->setAccessibleDescription(description);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 12);
    bar.addPermanentWidget(pane);
    return pane;
}

void setIfChanged(QLabel& label, const QString& text)
{
    if (label.text() != text)
        label.setText(text);
}
} // namespace

StatusPanes::StatusPanes(QStatusBar& bar)
    : QObject(&bar)
    , m_message(new QLabel(&bar))
{
    bar.setAccessibleName(tr("Status bar"));
    m_message->setAccessibleDescription(tr("Message"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setMinimumWidth(1);
    bar.addWidget(m_message, 1);
    m_line = createCountPane(bar, tr("Line count"), QStringLiteral("Line: 1000"));
    m_hit = createCountPane(bar, tr("Keyword count"), QStringLiteral("Key: 1000"));
}

void StatusPanes::setMessage(const QString& text)
{
    setIfChanged(*m_message, text);
    // A summary that names the search scope at its end is often wider than the pane: the tool tip shows it all.
    if (m_message->toolTip() != text)
        m_message->setToolTip(text);
}

QString StatusPanes::message() const
{
    return m_message->text();
}

void StatusPanes::setCountTexts(const QString& lineText, const QString& hitText)
{
    setIfChanged(*m_line, lineText);
    setIfChanged(*m_hit, hitText);
}

QString StatusPanes::lineText() const
{
    return m_line->text();
}

QString StatusPanes::hitText() const
{
    return m_hit->text();
}

} // namespace vellick
