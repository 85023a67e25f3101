#pragma once

#include <QTimer>
#include <QWidget>

namespace vellick {

// The search panel's sign that a search is running: a turning ring, shown only while it runs. Its place
// stays reserved when hidden so that the panel does not shift.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return { 24, 24 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_angle = 0;
};

} // namespace vellick
