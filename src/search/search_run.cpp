#include "search/search_run.h"

#include "base/open_file_limit.h"
#include "base/parent_directory.h"
#include "search/file_patterns.h"

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

FoundFile foundFile(std::string_view path, const ScanResult& result, const ScanPlan& plan)
{
    return { path, result.kind, result.status, result.hits, plan.hitLimitReached(result.hits) };
}

// A document's text or an archive's member, found inside the file at `path`.
FoundFile foundInside(std::string_view path, const ScanResult& result, const MemberHits& member, const ScanPlan& plan)
{
    FoundFile file { path, member.kind, member.path.empty() ? result.status : member.status, member.hits,
        plan.hitLimitReached(member.hits) };
    file.container = result.container.kind;
    file.member = member.path;
    file.containerStatus = result.status;
    file.cutAtLimit = member.cutAtLimit;
    return file;
}

// The found entry of a listed row inside a container: its member, or the document's text (empty path).
const MemberHits* listedMember(const ScanResult& result, std::string_view member)
{
    for (const MemberHits& found : result.container.found) {
        if (found.path == member)
            return &found;
    }
    return nullptr;
}

// Scanning threads while reads wait for the disk: most of them wait rather than work, and each keeps a read
// in flight.
int diskWorkers(int workers)
{
    constexpr int kPerProcessor = 4;
    constexpr int kMost = 32;
    const auto processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::max(workers, std::min(processors * kPerProcessor, kMost));
}

ScanChoices scanChoices(const SearchScope& scope)
{
    return { !scope.binaryFiles, scope.filesWithoutHits };
}

// The patterns the walk goes through, in their order: those that include; with only patterns that
// exclude, every name (the filter then leaves the excluded ones out).
std::vector<std::string> walkPatterns(const FilePatternSet& patterns)
{
    if (patterns.included().empty() && !patterns.excluded().empty())
        return { "*" };
    return patterns.included();
}
} // namespace

SearchRun::SearchRun()
    : m_workers(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
{
}

void SearchRun::setScanThreads(int workers, bool runThreadScans, bool moreForDisk)
{
    m_workers = std::max(0, workers);
    m_runThreadScans = runThreadScans;
    m_moreWorkersForDisk = moreForDisk;
}

SearchRun::~SearchRun() = default;

void SearchRun::start(const SearchCriteria& criteria, const SearchSettings& settings, SearchSink& sink)
{
    m_sink = &sink;
    m_criteria = criteria;
    m_settings = settings;
    m_startTime = std::time(nullptr);
    m_checkedCount = 0;
    m_foundCount = 0;
    m_keywords = KeywordList(criteria.keywordText, criteria.flags);
    m_plan = std::make_unique<ScanPlan>(m_keywords, settings.maxKeys, scanChoices(criteria.scope));
    m_plan->setInsideDocuments(criteria.scope.documents);
    m_insideProblems = 0;
    m_stopRequested.store(false, std::memory_order_relaxed);
    m_inProgress = true;
    if (criteria.listedFilesMode) {
        m_recheckScanner = std::make_unique<FileScanner>(*m_plan);
        m_recheckScanner->setCancelFlags(&m_stopRequested);
        m_recheckIndex = 0;
    } else {
        m_pipeline = std::make_unique<ScanPipeline>(
            *m_plan, m_workers, m_runThreadScans, &m_stopRequested, m_moreWorkersForDisk ? diskWorkers(m_workers) : 0);
        const FilePatternSet patterns(criteria.filePatterns);
        m_walk.emplace(walkPatterns(patterns), (criteria.flags & SubFolders) != 0, settings.includeHidden);
        if (WalkFilter::needed(criteria.scope, patterns.excluded()))
            m_walk->setFilter(WalkFilter(criteria.scope, patterns.excluded()));
        m_walk->setMaxDepth(settings.maxDepth);
        const std::size_t folders = openFoldersAllowed(m_workers);
        m_pipeline->limitHeldFolders(folders);
        m_walk->keepFoldersOpen(folders);
        m_walk->start(criteria.rootFolders.empty() ? std::vector { criteria.rootFolder } : criteria.rootFolders);
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
            m_walkEvents.push_back({ type, m_walk->openDirectory()->path });
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
            m_sink->progress({ m_checkedCount, event.folder, true });
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
        if (result->container.kind != ContainerKind::None) {
            takeContainer(joinPath(m_pipeline->frontDirectory().path, m_pipeline->frontName()), *result);
        } else if (takeResult(*result)) {
            const std::string path = joinPath(m_pipeline->frontDirectory().path, m_pipeline->frontName());
            m_sink->fileFound(foundFile(path, *result, *m_plan));
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

// Re-checks the next listed file: it is kept with its new hits, or dropped when it no longer matches.
SearchRun::Progress SearchRun::recheckStep()
{
    const std::vector<std::string>& paths = m_criteria.listedPaths;
    if (m_recheckIndex == paths.size())
        return Progress::Ended;
    const std::size_t index = m_recheckIndex++;
    const std::string& path = paths[index];
    m_sink->progress({ m_checkedCount, path, false });
    // The rows inside one archive follow each other: it is read once for all of them.
    const bool sameContainer
        = index > 0 && paths[index - 1] == path && m_recheckResult.container.kind != ContainerKind::None;
    if (!sameContainer) {
        const ParentDirectory parent(path);
        m_recheckScanner->scan(parent.fd(), parent.name(), m_recheckResult);
    }
    // A view of the stored member path (a conditional with "" would make it a view of a temporary copy).
    const std::string_view member = index < m_criteria.listedMembers.size()
        ? std::string_view(m_criteria.listedMembers[index])
        : std::string_view();
    ++m_checkedCount;
    if (m_recheckResult.container.kind != ContainerKind::None) {
        const MemberHits* found = listedMember(m_recheckResult, member);
        if (found) {
            ++m_foundCount;
            m_sink->listedFileKept(index, foundInside(path, m_recheckResult, *found, *m_plan));
        } else {
            m_sink->listedFileDropped(index);
        }
    } else if (member.empty() && m_recheckResult.found) {
        ++m_foundCount;
        m_sink->listedFileKept(index, foundFile(path, m_recheckResult, *m_plan));
    } else {
        m_sink->listedFileDropped(index); // a member, now that the search does not look inside archives
    }
    return m_recheckIndex < paths.size() && m_foundCount < kMaxFound ? Progress::Continue : Progress::Ended;
}

// Reports what was found inside a document or an archive, and the problems met there. Each member
// scanned counts as a file checked.
void SearchRun::takeContainer(const std::string& path, const ScanResult& result)
{
    m_checkedCount += std::max(1u, result.container.checked);
    for (const MemberHits& member : result.container.found) {
        if (m_foundCount >= kMaxFound)
            break;
        ++m_foundCount;
        m_sink->fileFound(foundInside(path, result, member, *m_plan));
    }
    for (const ContainerNotice& notice : result.container.notices) {
        ++m_insideProblems;
        m_sink->insideProblem(path, notice);
    }
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
    m_walkEvents.clear();
    m_pipeline.reset(); // files scanned ahead and not taken are dropped
    m_walk.reset();
    m_recheckScanner.reset();
    RunSummary summary;
    summary.found = m_foundCount;
    summary.checked = m_checkedCount;
    summary.elapsedSeconds = std::time(nullptr) - m_startTime;
    summary.stoppedByUser = m_stopRequested.load(std::memory_order_relaxed);
    summary.endedAtFoundCap = !summary.stoppedByUser && m_foundCount >= kMaxFound;
    summary.insideProblems = m_insideProblems;
    m_inProgress = false;
    m_sink->finished(summary);
}

} // namespace vellick
