#include "app/search_controller.h"

#include <QElapsedTimer>

namespace vellick {

namespace {
// Long enough to scan many small files per tick, short enough that the window stays lively.
constexpr qint64 kSliceMilliseconds = 15;
} // namespace

SearchController::SearchController(CVellickDoc& doc, SearchHost& host, QObject* parent)
    : QObject(parent)
    , m_run(doc, host)
{
    m_timer.setInterval(0);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SearchController::tick);
}

void SearchController::start(const SearchCriteria& criteria, const SearchSettings& settings)
{
    if (m_run.inProgress())
        return;
    m_run.start(criteria, settings);
    m_timer.start();
}

void SearchController::tick()
{
    // The run's end may show a message box whose event loop must not tick the run again.
    if (m_inTick)
        return;
    m_inTick = true;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    // Files are scanned on worker threads; waiting for one never holds the window beyond its slice.
    for (qint64 left = kSliceMilliseconds; more && left > 0; left = kSliceMilliseconds - slice.elapsed())
        more = m_run.step(1, std::chrono::milliseconds(left));
    m_inTick = false;
    if (more)
        m_timer.start();
    else
        emit finished();
}

void SearchController::finishNow()
{
    if (!m_run.inProgress())
        return;
    m_timer.stop();
    m_run.stop();
    while (m_run.step(1)) { }
    emit finished();
}

} // namespace vellick
