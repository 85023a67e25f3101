#include "views/text_selection.h"

#include <cstdlib>

namespace vellick {

void TextSelection::clear()
{
    m_line = m_start = m_end = m_startX = m_endX = -1;
    m_text.clear();
    m_dragging = false;
}

TextSelection::Boundary TextSelection::boundaryLeftOf(
    const QString& text, int x, bool inclusive, const TextWidth& width)
{
    // The appended space is never selected: the last boundary is the line's own end. Widths grow with n,
    // so the rightmost qualifying boundary is found by halving.
    Boundary best { 0, kLeftMargin };
    int low = 1;
    auto high = static_cast<int>(text.size()) - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int right = width(text, middle) + kLeftMargin;
        if (right < x || (inclusive && right == x)) {
            best = { middle, right };
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return best;
}

void TextSelection::press(int line, const QString& lineText, int x, int averageCharWidth, const TextWidth& width)
{
    const QString text = lineText + QLatin1Char(' ');
    Boundary anchor { 0, kLeftMargin };
    if (x >= averageCharWidth + kLeftMargin) {
        if (text.size() < 2)
            return;
        anchor = boundaryLeftOf(text, x, false, width);
    }
    m_anchorLine = line;
    m_anchorText = text;
    m_anchorIndex = anchor.index;
    m_anchorX = anchor.x;
    m_dragging = true;
}

bool TextSelection::dragTo(int x, int averageCharWidth, const TextWidth& width)
{
    if (!m_dragging || std::abs(x - m_anchorX) <= averageCharWidth / 2 || m_anchorText.size() < 2)
        return false;
    const Boundary end = boundaryLeftOf(m_anchorText, x, true, width);
    m_start = m_anchorIndex;
    m_end = end.index;
    m_text = m_anchorText;
    m_line = m_anchorLine;
    m_startX = m_anchorX;
    m_endX = end.x;
    return true;
}

bool TextSelection::isVisible(int averageCharWidth) const
{
    return m_line >= 0 && std::abs(m_startX - m_endX) > averageCharWidth / 2;
}

QString TextSelection::selectedText() const
{
    if (!hasText())
        return {};
    return m_text.mid(std::min(m_start, m_end), std::abs(m_start - m_end));
}

} // namespace vellick
