#pragma once

#include "search/search_run.h"

#include <QObject>
#include <QTimer>

namespace vellick {

// Drives the search run from a 0 ms timer: each tick takes the files scanned by the run's worker threads
// for a few milliseconds and then lets the window handle its events, so the list grows, the window
// repaints and Stop gets through between files, even while one large file is being scanned.
class SearchController : public QObject {
    Q_OBJECT
public:
    SearchController(CVellickDoc& doc, SearchHost& host, QObject* parent = nullptr);

    void start(const SearchCriteria& criteria, const SearchSettings& settings);
    // The Stop command: the run notices it before its next file.
    void stop() { m_run.stop(); }
    // Stops a run and carries it to its end at once (the window is closing).
    void finishNow();

    bool searchRunning() const { return m_run.searchRunning(); }
    bool inProgress() const { return m_run.inProgress(); }
    const SearchRun& run() const { return m_run; }

signals:
    void finished();

private:
    void tick();

    SearchRun m_run;
    QTimer m_timer;
    bool m_inTick = false;
};

} // namespace vellick
