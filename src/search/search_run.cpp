#include "search/search_run.h"

#include "results/vellick_doc.h"
#include "search/file_patterns.h"
#include "search/open_file_limit.h"
#include "search/parent_directory.h"
#include "search/run_texts.h"
#include "search/search_host.h"
#include "search/search_request.h"

#include <algorithm>
#include <thread>

namespace vellick {

namespace {
// Walk events held ahead of the run, files and folder entries together.
constexpr std::size_t kMaxEventsAhead = 4 * ScanPipeline::kWindow;

// Folders the walk keeps open on its way down, and folders files queued for scanning keep open: each
// half of the descriptors left when every scanning thread has its file open and a few are kept spare
// (a listing being read, a folder opened again, a report).
std::size_t openFoldersAllowed(int scanThreads)
{
    constexpr std::size_t kSpare = 8;
    const std::size_t busy = static_cast<std::size_t>(scanThreads) + 1 + kSpare;
    const std::size_t free = freeDescriptors();
    return free > busy ? (free - busy) / 2 : 1;
}

// How long the walk waits between tries when no descriptor is free for a folder.
constexpr std::chrono::milliseconds kDescriptorPause { 5 };
} // namespace

SearchRun::SearchRun(CVellickDoc& doc, SearchHost& host)
    : m_doc(doc)
    , m_host(host)
    , m_workers(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
{
}

void SearchRun::setScanThreads(int workers, bool runThreadScans)
{
    m_workers = std::max(0, workers);
    m_runThreadScans = runThreadScans;
}

SearchRun::~SearchRun() = default;

void SearchRun::start(const SearchCriteria& criteria, const SearchSettings& settings)
{
    m_criteria = criteria;
    m_settings = settings;
    m_host.setBusy(true);
    m_host.setStartButtonLabel(kStopLabel);
    m_host.setCombosReadOnly(true);
    if (criteria.listedFilesMode)
        m_doc.setCurrent(-1);
    else
        m_doc.clear();
    m_host.resetTextPane();
    m_startTime = std::time(nullptr);
    m_host.blankIndicators();
    m_host.setStatusText(kSearchingText);
    m_host.repaintNow();
    m_checkedCount = 0;
    m_foundCount = 0;

    m_host.beep();
    m_keywords = KeywordList(criteria.keywordText, criteria.flags);
    m_plan = std::make_unique<ScanPlan>(m_keywords, settings.maxKeys);
    m_stopRequested.store(false, std::memory_order_relaxed);
    m_inProgress = true;
    if (criteria.listedFilesMode) {
        m_recheckScanner = std::make_unique<FileScanner>(*m_plan);
        m_recheckScanner->setCancelFlags(&m_stopRequested);
        m_recheckRow = 0;
        m_recheckLeft = m_doc.rowCount();
    } else {
        m_pipeline = std::make_unique<ScanPipeline>(*m_plan, m_workers, m_runThreadScans, &m_stopRequested);
        m_walk.emplace(
            splitFilePatterns(criteria.filePatterns), (criteria.flags & SubFolders) != 0, settings.includeHidden);
        const std::size_t folders = openFoldersAllowed(m_workers);
        m_pipeline->limitHeldFolders(folders);
        m_walk->keepFoldersOpen(folders);
        m_walk->start(currentDirectory().value_or("."));
        m_walkDone = false;
        m_blockedSince.reset();
    }
}

bool SearchRun::step(int budget, std::chrono::milliseconds maxWait)
{
    if (!m_inProgress)
        return false;
    Progress progress = Progress::Continue;
    for (; budget > 0 && progress == Progress::Continue; --budget) {
        if (m_stopRequested.load(std::memory_order_relaxed))
            progress = Progress::Ended;
        else
            progress = m_criteria.listedFilesMode ? recheckStep() : walkStep(maxWait);
    }
    if (progress == Progress::Ended) {
        finish();
        return false;
    }
    return true;
}

// Walks on ahead of the files taken, queueing files for the scanning threads.
void SearchRun::walkAhead()
{
    m_walkBlocked = false;
    while (!m_walkDone && !m_walkBlocked && !m_pipeline->full() && m_walkEvents.size() < kMaxEventsAhead) {
        const FolderWalk::EventType type = m_walk->next();
        switch (type) {
        case FolderWalk::EventType::OutOfDescriptors:
            m_walkBlocked = true; // tried again once files taken have let their folders go
            break;
        case FolderWalk::EventType::Done:
            m_walkDone = true;
            break;
        case FolderWalk::EventType::File:
            m_pipeline->queue(m_walk->openDirectory(), m_walk->name());
            m_walkEvents.push_back({ type, {} });
            break;
        case FolderWalk::EventType::EnteredFolder:
            m_walkEvents.push_back({ type, m_walk->directory() });
            break;
        case FolderWalk::EventType::SubFolderEntry:
            m_walkEvents.push_back({ type, {} });
            break;
        }
    }
}

// Takes the walk's next file or sub-folder entry.
SearchRun::Progress SearchRun::walkStep(std::chrono::milliseconds maxWait)
{
    for (;;) {
        walkAhead();
        if (m_walkEvents.empty())
            return m_walkBlocked ? waitForDescriptor() : Progress::Ended;
        m_blockedSince.reset();
        const WalkEvent& event = m_walkEvents.front();
        if (event.type == FolderWalk::EventType::EnteredFolder) {
            m_host.setStatusText(folderProgressText(m_checkedCount, event.folder));
            m_walkEvents.pop_front();
            continue;
        }
        if (event.type == FolderWalk::EventType::SubFolderEntry) {
            m_walkEvents.pop_front();
            return Progress::Continue;
        }
        const ScanResult* result = m_pipeline->front(maxWait);
        if (!result)
            return Progress::Waiting;
        if (takeResult(*result)) {
            const int index = m_doc.addRecord(
                joinPath(m_pipeline->frontDirectory().path, m_pipeline->frontName()), result->kind, result->status);
            for (const Hit& hit : result->hits)
                m_doc.record(index).appendHit(hit);
            if (m_foundCount < kAnnouncedFound)
                m_doc.updateAllViews(HintRowsAdded);
        }
        m_pipeline->pop();
        m_walkEvents.pop_front();
        return m_foundCount < kMaxFound ? Progress::Continue : Progress::Ended;
    }
}

// Nothing is held any more and still no descriptor is free for the next folder: something outside the
// walk holds them. The walk waits for one a while, then passes that folder over.
SearchRun::Progress SearchRun::waitForDescriptor()
{
    constexpr std::chrono::seconds kLongestWait { 30 };
    const auto now = std::chrono::steady_clock::now();
    if (!m_blockedSince)
        m_blockedSince = now;
    if (now - *m_blockedSince > kLongestWait) {
        m_walk->passOverBlocked();
        m_blockedSince.reset();
        return Progress::Continue;
    }
    std::this_thread::sleep_for(kDescriptorPause);
    return Progress::Waiting;
}

// Re-checks the listed file in the current row; a file that no longer matches loses its row.
SearchRun::Progress SearchRun::recheckStep()
{
    if (m_recheckLeft == 0)
        return Progress::Ended;
    --m_recheckLeft;
    const int recordIndex = m_doc.recordAtRow(m_recheckRow);
    CLine& line = m_doc.record(recordIndex);
    line.clearHits();
    m_host.setStatusText(fileProgressText(line.path));
    const ParentDirectory parent(line.path);
    m_recheckScanner->scan(parent.fd(), parent.name(), m_recheckResult);
    if (takeResult(m_recheckResult)) {
        // The file may have changed since it was listed: its kind must agree with the new hit lines, and
        // its size and time with the text the new hits point into (the loader compares the time).
        line.kind = m_recheckResult.kind;
        line.size = m_recheckResult.status.size;
        line.modified = m_recheckResult.status.modified;
        line.modifiedNanoseconds = m_recheckResult.status.modifiedNanoseconds;
        for (const Hit& hit : m_recheckResult.hits)
            line.appendHit(hit);
        ++m_recheckRow;
    } else {
        m_doc.removeDisplayRow(m_recheckRow);
        if (m_foundCount < kAnnouncedFound)
            m_host.repaintNow();
    }
    return m_recheckLeft > 0 && m_foundCount < kMaxFound ? Progress::Continue : Progress::Ended;
}

// Counts a scanned file; true when it was found.
bool SearchRun::takeResult(const ScanResult& result)
{
    ++m_checkedCount;
    if (result.found)
        ++m_foundCount;
    return result.found;
}

void SearchRun::finish()
{
    if (m_foundCount > 0) {
        if (m_foundCount >= kAnnouncedFound)
            m_doc.updateAllViews(HintRowsAdded);
        m_doc.setCurrent(m_doc.recordAtRow(0));
        m_host.selectFirstRowAndFocus();
    }
    m_walkEvents.clear();
    m_pipeline.reset(); // files scanned ahead and not taken are dropped
    m_walk.reset();
    m_recheckScanner.reset();

    m_host.invalidateTextPane();
    m_host.setCombosReadOnly(false);
    m_host.setBusy(false);
    const bool stopped = m_stopRequested.load(std::memory_order_relaxed);
    m_inProgress = false;
    if (stopped)
        m_host.showMessage(kStoppedMessage);
    m_host.setStatusText(summaryText(m_foundCount, m_checkedCount, std::time(nullptr) - m_startTime));
    m_host.setStartButtonLabel(kStartLabel);
    m_host.updateRecentLists(m_criteria.keywordText, m_criteria.folder, m_criteria.filePatterns);
}

} // namespace vellick
