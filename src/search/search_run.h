#pragma once

#include "search/file_scanner.h"
#include "search/folder_walk.h"
#include "search/keyword_list.h"
#include "search/scan_pipeline.h"
#include "search/scan_plan.h"
#include "search/search_options.h"
#include "search/search_sink.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <deque>
#include <memory>
#include <optional>

namespace vellick {

// One search over a folder tree or over a list of files, as a resumable state machine: start() begins
// it, each step() takes a bounded number of files and returns so that the caller can let events through,
// and the last step ends the run with its summary. Everything found is reported to the sink given to
// start(), in walk order; the run knows no front end. Files are scanned ahead on worker threads and taken
// in walk order, so the events are the same as with one thread. The window drives a run from a timer,
// vellick-cli from a loop. The keyword list and flags of the last run stay available until the next start
// (reports read them). The scope's walk rules (folders, patterns, size, date, git's ignore files) choose
// the files of a walk only; a re-check of listed files takes the files as listed and applies what the
// scope changes in the scan itself (binary files skipped, files without hits).
class SearchRun {
public:
    static constexpr int kMaxFound = 100000;
    static constexpr std::chrono::milliseconds kWaitForever { -1 };

    SearchRun();
    ~SearchRun();
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // Worker threads that scan ahead (default: one per processor), and whether the run's own thread scans
    // too when a result is not ready yet (vellick-cli: yes; the window keeps its thread for events).
    // With no workers every file is scanned on the run's thread. Unless the count was the user's choice,
    // more workers join once reads are seen waiting for the disk, so that more reads are in flight.
    void setScanThreads(int workers, bool runThreadScans, bool moreForDisk = false);

    // Starts a run over criteria that passed Start's checks (rootFolder set; listedPaths in listed-files
    // mode). The sink hears every event of the run and must outlive it.
    void start(const SearchCriteria& criteria, const SearchSettings& settings, SearchSink& sink);
    // Takes up to `budget` files or folder entries, waiting at most `maxWait` for a file's result;
    // false once the run has ended (the sink has then heard finished()).
    bool step(int budget, std::chrono::milliseconds maxWait = kWaitForever);
    // Asks the run to stop; it ends at its next step, a scan in progress at its next block. Safe from a
    // signal handler or another thread: it only stores into a lock-free atomic flag.
    void stop() noexcept { m_stopRequested.store(true, std::memory_order_relaxed); }
    // The flag stop() sets, which the scanners test between blocks. Cleared by start().
    const std::atomic<bool>& cancelFlag() const { return m_stopRequested; }

    // Between start() and the end of the run, and not asked to stop: handlers that must not act during a
    // run test it.
    bool searchRunning() const { return m_inProgress && !m_stopRequested.load(std::memory_order_relaxed); }
    // Between start() and the end of the run (also while a stop is being finished).
    bool inProgress() const { return m_inProgress; }
    int foundCount() const { return m_foundCount; }
    unsigned checkedCount() const { return m_checkedCount; }
    const KeywordList& keywords() const { return m_keywords; }
    uint32_t flags() const { return m_keywords.flags(); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);

    enum class Progress { Continue, Waiting, Ended };
    struct WalkEvent {
        FolderWalk::EventType type;
        std::string folder; // of EnteredFolder; a path, so that no descriptor is held for it
    };

    void walkAhead();
    Progress walkStep(std::chrono::milliseconds maxWait);
    Progress waitForDescriptor();
    Progress recheckStep();
    bool takeResult(const ScanResult& result);
    void takeContainer(const std::string& path, const ScanResult& result);
    void finish();

    SearchSink* m_sink = nullptr;
    int m_workers;
    bool m_runThreadScans = false;
    bool m_moreWorkersForDisk = true;
    SearchCriteria m_criteria;
    SearchSettings m_settings;
    KeywordList m_keywords;
    std::unique_ptr<ScanPlan> m_plan;
    std::optional<FolderWalk> m_walk;
    std::deque<WalkEvent> m_walkEvents; // walked ahead, not yet taken
    bool m_walkDone = false;
    bool m_walkBlocked = false; // the walk waits for a descriptor
    std::optional<std::chrono::steady_clock::time_point> m_blockedSince;
    std::unique_ptr<ScanPipeline> m_pipeline;
    std::unique_ptr<FileScanner> m_recheckScanner;
    ScanResult m_recheckResult;
    std::atomic<bool> m_stopRequested { false };
    bool m_inProgress = false;
    int m_foundCount = 0;
    unsigned m_checkedCount = 0;
    unsigned m_insideProblems = 0;
    std::size_t m_recheckIndex = 0; // listed-files mode: the listed file re-checked next
    std::time_t m_startTime = 0;
};

} // namespace vellick
