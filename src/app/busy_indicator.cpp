#include "app/busy_indicator.h"

#include <QPainter>

namespace vellick {

namespace {
constexpr int kFrameMilliseconds = 80;
constexpr int kStepDegrees = 30;
constexpr int kArcDegrees = 100;
} // namespace

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Search in progress"));
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    m_timer.setInterval(kFrameMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + kStepDegrees) % 360;
        update();
    });
    hide();
}

void BusyIndicator::start()
{
    m_angle = 0;
    show();
    m_timer.start();
}

void BusyIndicator::stop()
{
    m_timer.stop();
    hide();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 6;
    const QRectF ring((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(palette().color(QPalette::Mid), 3));
    painter.drawEllipse(ring);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3, Qt::SolidLine, Qt::RoundCap));
    // Qt counts arcs in sixteenths of a degree, anticlockwise; turn clockwise.
    painter.drawArc(ring, -m_angle * 16, kArcDegrees * 16);
}

} // namespace vellick
