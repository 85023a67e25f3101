#pragma once

#include <QSplitter>

namespace vellick {

// A splitter of two panes in which the first pane keeps its size and the second takes the rest. The first
// pane's size can be given before the splitter has its own size; it is applied when the splitter is first
// laid out.
class PaneSplitter : public QSplitter {
    Q_OBJECT
public:
    PaneSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    void setFirstPaneSize(int size);
    // The outer sizes of the two panes along the splitter.
    int firstPaneSize() const;
    int secondPaneSize() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int length() const;
    void applyPendingSize();

    int m_pendingFirstPane = -1;
};

} // namespace vellick
