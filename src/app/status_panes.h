#pragma once

#include <QObject>

class QLabel;
class QStatusBar;

namespace vellick {

// The status bar's three panes: the message pane (stretching), "line: %d" and "key: %d". Prompts of
// highlighted menu items cover the message pane for a moment; the message comes back afterwards. Screen
// readers get each pane's text as its accessible name.
class StatusPanes : public QObject {
    Q_OBJECT
public:
    explicit StatusPanes(QStatusBar& bar);

    void setMessage(const QString& text);
    QString message() const;
    // The two count panes; a pane whose text is the same is left alone so that idle updates cost nothing.
    void setCountTexts(const QString& lineText, const QString& hitText);
    QString lineText() const;
    QString hitText() const;

private:
    QLabel* m_message;
    QLabel* m_line;
    QLabel* m_hit;
};

} // namespace vellick
