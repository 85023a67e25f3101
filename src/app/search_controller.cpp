#include "app/search_controller.h"

#include "app/search_window.h"
#include "results/run_texts.h"
#include "results/vellick_doc.h"

#include <QElapsedTimer>

namespace vellick {

namespace {
// Long enough to scan many small files per tick, short enough that the window stays lively.
constexpr qint64 kSliceMilliseconds = 15;
} // namespace

SearchController::SearchController(CVellickDoc& doc, SearchWindow& window, QObject* parent)
    : QObject(parent)
    , m_doc(doc)
    , m_window(window)
    , m_documentSink(doc)
{
    m_timer.setInterval(0);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SearchController::tick);
}

void SearchController::start(const SearchCriteria& criteria, const SearchSettings& settings)
{
    if (m_run.inProgress())
        return;
    m_keywordText = criteria.keywordText;
    m_folderText = criteria.folder;
    m_filePatterns = criteria.filePatterns;
    m_scope = criteria.scope;
    m_window.setBusy(true);
    m_window.setStartButtonLabel(kStopLabel);
    m_window.setCombosReadOnly(true);
    SearchCriteria request = criteria;
    if (request.listedFilesMode)
        request.listedPaths = listedPaths(m_doc);
    m_documentSink.begin(request.listedFilesMode);
    m_window.resetTextPane();
    m_window.blankIndicators();
    m_window.setStatusText(kSearchingText);
    m_window.repaintNow();
    m_window.beep();
    m_run.start(request, settings, m_events);
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

// The summary's time was taken when the run ended, so a stop message left open does not count.
void SearchController::runFinished(const RunSummary& summary)
{
    m_documentSink.finished(summary);
    if (summary.found > 0)
        m_window.selectFirstRowAndFocus();
    m_window.invalidateTextPane();
    m_window.setCombosReadOnly(false);
    m_window.setBusy(false);
    if (summary.stoppedByUser)
        m_window.showMessage(kStoppedMessage);
    m_window.setStatusText(
        summaryText(summary.found, summary.checked, summary.elapsedSeconds) + scopeSummaryText(m_scope));
    m_window.setStartButtonLabel(kStartLabel);
    m_window.updateRecentLists(m_keywordText, m_folderText, m_filePatterns);
}

void SearchController::RunEvents::fileFound(const FoundFile& file)
{
    m_controller.m_documentSink.fileFound(file);
}

void SearchController::RunEvents::listedFileKept(std::size_t listIndex, const FoundFile& file)
{
    m_controller.m_documentSink.listedFileKept(listIndex, file);
}

void SearchController::RunEvents::listedFileDropped(std::size_t listIndex)
{
    m_controller.m_documentSink.listedFileDropped(listIndex);
    if (m_controller.m_documentSink.foundCount() < DocumentSink::kAnnouncedFound)
        m_controller.m_window.repaintNow();
}

void SearchController::RunEvents::progress(const RunProgress& progress)
{
    m_controller.m_window.setStatusText(
        progress.folder ? folderProgressText(progress.checked, progress.path) : fileProgressText(progress.path));
}

void SearchController::RunEvents::finished(const RunSummary& summary)
{
    m_controller.runFinished(summary);
}

} // namespace vellick
