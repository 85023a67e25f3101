#pragma once

#include <QString>
#include <functional>

namespace vellick {

// The text pane's selection: characters of one display line, chosen by dragging. A press sets the anchor
// at the character boundary left of the pointer; moving the pointer extends the selection within the
// anchor's line, whatever line the pointer is over. Positions are in pane content pixels: every line
// starts at kLeftMargin.
class TextSelection {
public:
    static constexpr int kLeftMargin = 4;
    // Width of the first n characters of a text.
    using TextWidth = std::function<int(const QString& text, int n)>;

    void clear();

    // A press at x on display line `line` with text `lineText`; starts a drag unless the line is too
    // short to hold a boundary.
    void press(int line, const QString& lineText, int x, int averageCharWidth, const TextWidth& width);
    // The pointer moved to x while dragging; true when the selection changed.
    bool dragTo(int x, int averageCharWidth, const TextWidth& width);
    void release() { m_dragging = false; }

    bool dragging() const { return m_dragging; }
    int line() const { return m_line; }
    int startX() const { return m_startX; }
    int endX() const { return m_endX; }
    // True when the selection is wide enough to be drawn.
    bool isVisible(int averageCharWidth) const;
    // A selection holding at least one character.
    bool hasText() const { return m_line >= 0 && m_start != m_end; }
    QString selectedText() const;

private:
    struct Boundary {
        int index;
        int x;
    };
    // The rightmost boundary left of x (at x too when `inclusive`); boundary 0 when there is none.
    static Boundary boundaryLeftOf(const QString& text, int x, bool inclusive, const TextWidth& width);

    int m_line = -1;
    int m_start = -1;
    int m_end = -1;
    int m_startX = -1;
    int m_endX = -1;
    QString m_text;

    int m_anchorLine = -1;
    int m_anchorIndex = -1;
    int m_anchorX = -1;
    QString m_anchorText;
    bool m_dragging = false;
};

} // namespace vellick
