#pragma once

#include "results/document_sink.h"
#include "search/search_run.h"

#include <QObject>
#include <QTimer>

namespace vellick {

class SearchWindow;

// The window's side of a search: prepares the panel and the document, drives the run from a 0 ms timer,
// and turns the run's events into the document's rows (through the document sink) and the window's
// states and texts: the Start/Stop label, read-only combos, busy indicator, beep, status texts, first-row
// selection and recent lists. Each tick takes the files scanned by the run's worker threads for a few
// milliseconds and then lets the window handle its events, so the list grows, the window repaints and
// Stop gets through between files, even while one large file is being scanned.
class SearchController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kStartLabel = "&Start Search";
    static constexpr const char* kStopLabel = "&Stop";

    SearchController(CVellickDoc& doc, SearchWindow& window, QObject* parent = nullptr);

    // Starts a search; in listed-files mode it re-checks the document's rows.
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
    // The run's events, handed on to the document sink and turned into the window's states and texts.
    class RunEvents : public SearchSink {
    public:
        explicit RunEvents(SearchController& controller)
            : m_controller(controller)
        {
        }
        void fileFound(const FoundFile& file) override;
        void listedFileKept(std::size_t listIndex, const FoundFile& file) override;
        void listedFileDropped(std::size_t listIndex) override;
        void progress(const RunProgress& progress) override;
        void finished(const RunSummary& summary) override;

    private:
        SearchController& m_controller;
    };

    void tick();
    void runFinished(const RunSummary& summary);

    CVellickDoc& m_doc;
    SearchWindow& m_window;
    DocumentSink m_documentSink;
    RunEvents m_events { *this };
    SearchRun m_run;
    QTimer m_timer;
    bool m_inTick = false;
    // The texts of the running search, for the recent lists at its end.
    std::string m_keywordText;
    std::string m_folderText;
    std::string m_filePatterns;
    SearchScope m_scope; // named at the end of the summary when it leaves files out
};

} // namespace vellick
