#include "app/pane_splitter.h"

#include <QResizeEvent>
#include <algorithm>

namespace vellick {

PaneSplitter::PaneSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent)
{
    setChildrenCollapsible(false);
    setOpaqueResize(true);
}

void PaneSplitter::setFirstPaneSize(int size)
{
    if (length() > 0 && isVisible()) {
        setSizes({ size, std::max(0, length() - size - handleWidth()) });
        m_pendingFirstPane = -1;
    } else {
        m_pendingFirstPane = size;
    }
}

int PaneSplitter::firstPaneSize() const
{
    if (m_pendingFirstPane >= 0)
        return m_pendingFirstPane;
    return sizes().value(0);
}

int PaneSplitter::secondPaneSize() const
{
    if (m_pendingFirstPane >= 0) {
        // Never laid out yet: the splitter will fill its parent.
        const QWidget* area = parentWidget() ? parentWidget() : this;
        const int total = orientation() == Qt::Horizontal ? area->width() : area->height();
        return std::max(0, total - m_pendingFirstPane - handleWidth());
    }
    return sizes().value(1);
}

int PaneSplitter::length() const
{
    return orientation() == Qt::Horizontal ? width() : height();
}

void PaneSplitter::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    applyPendingSize();
}

void PaneSplitter::showEvent(QShowEvent* event)
{
    QSplitter::showEvent(event);
    applyPendingSize();
}

void PaneSplitter::applyPendingSize()
{
    if (m_pendingFirstPane >= 0 && length() > 0 && isVisible()) {
        const int first = m_pendingFirstPane;
        m_pendingFirstPane = -1;
        setSizes({ first, std::max(0, length() - first - handleWidth()) });
    }
}

} // namespace vellick
