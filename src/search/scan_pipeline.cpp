#include "search/scan_pipeline.h"

#include <algorithm>
#include <new>
#include <sched.h>
#include <system_error>
#include <utility>

namespace vellick {

namespace {

// Putting a thread to sleep and waking it again costs more (system calls, and on a virtual machine an
// interrupt between processors) than scanning a typical small file, so a thread about to wait for the
// other side first checks a few times whether it is answered, giving up its processor in between to any
// other thread that is ready to run: a busy machine loses no time to it.
template <typename Done> bool spinUntil(Done done)
{
    constexpr int kTries = 64;
    for (int i = 0; i < kTries; ++i) {
        if (done())
            return true;
        sched_yield();
    }
    return done();
}

} // namespace

ScanPipeline::ScanPipeline(
    const ScanPlan& plan, int workerCount, bool runThreadScans, const std::atomic<bool>* stopFlag, int diskWorkers)
    : m_plan(plan)
    , m_runThreadScans(runThreadScans)
    , m_stopFlag(stopFlag)
    , m_diskWorkers(diskWorkers > workerCount ? static_cast<std::size_t>(diskWorkers) : 0)
{
    for (int i = 0; i < workerCount && addWorker(); ++i) { }
    m_runThreadScans = m_runThreadScans || m_workers.empty();
    if (m_runThreadScans) {
        m_runThreadScanner = std::make_unique<FileScanner>(plan);
        m_runThreadScanner->setCancelFlags(m_stopFlag, &m_frontReady);
        if (m_diskWorkers > 0)
            m_runThreadScanner->setFirstReadCounts(&m_firstReads);
    }
}

// A worker's scanner is made on the run's thread, so that running out of memory for it, or of threads,
// ends up here: the search then goes on with the workers there are.
bool ScanPipeline::addWorker()
{
    try {
        auto scanner = std::make_unique<FileScanner>(m_plan);
        scanner->setCancelFlags(&m_cancel, m_stopFlag);
        if (m_diskWorkers > 0)
            scanner->setFirstReadCounts(&m_firstReads);
        m_workerScanners.reserve(m_workerScanners.size() + 1);
        m_workers.reserve(m_workers.size() + 1);
        FileScanner& kept = *m_workerScanners.emplace_back(std::move(scanner));
        m_workers.emplace_back([this, &kept] { workerLoop(kept); });
        return true;
    } catch (const std::system_error&) {
        m_workerScanners.resize(m_workers.size());
        return false;
    } catch (const std::bad_alloc&) {
        m_workerScanners.resize(m_workers.size());
        return false;
    }
}

// When a good share of first reads waited for the disk, the files are not cached: more workers keep more
// reads in flight. A few slow reads among many are a busy machine's doing (a thread put aside during its
// read), so older counts fade.
void ScanPipeline::addWorkersForDisk()
{
    constexpr uint32_t kSlowSeen = 16;
    constexpr uint32_t kShare = 4; // one in four
    constexpr uint32_t kFadeAfter = 4096;
    const uint32_t reads = m_firstReads.reads.load(std::memory_order_relaxed);
    const uint32_t slow = m_firstReads.slow.load(std::memory_order_relaxed);
    if (slow >= kSlowSeen && slow * kShare >= reads) {
        while (m_workers.size() < m_diskWorkers && addWorker()) { }
        m_diskWorkers = 0; // grown once
    } else if (reads >= kFadeAfter) {
        m_firstReads.reads.fetch_sub(reads / 2, std::memory_order_relaxed);
        m_firstReads.slow.fetch_sub(slow / 2, std::memory_order_relaxed);
    }
}

ScanPipeline::~ScanPipeline()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
        m_waitingCount = 0;
    }
    m_cancel = true;
    m_work.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void ScanPipeline::queue(std::shared_ptr<const OpenDirectory> directory, std::string_view name)
{
    std::unique_ptr<Slot> slot;
    if (m_spare.empty()) {
        slot = std::make_unique<Slot>();
    } else {
        slot = std::move(m_spare.back());
        m_spare.pop_back();
    }
    if (m_queued.empty() || m_queued.back()->directory != directory)
        ++m_heldFolders;
    slot->directory = std::move(directory);
    slot->name.assign(name);
    slot->state = SlotState::Queued;
    slot->failure = nullptr;
    Slot* raw = slot.get();
    m_queued.push_back(std::move(slot));
    if (m_diskWorkers > 0)
        addWorkersForDisk();
    if (m_workers.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.push_back(raw);
        m_waitingCount.store(m_waiting.size(), std::memory_order_release);
    }
    m_work.notify_one();
}

const ScanResult* ScanPipeline::front(std::chrono::milliseconds maxWait)
{
    Slot& front = *m_queued.front();
    std::unique_lock lock(m_mutex);
    // Rather than wait, scan here: the oldest file if no worker has it, else the next one no one has.
    while (m_runThreadScans && front.state != SlotState::Ready && (!m_waiting.empty() || m_workers.empty()))
        scanOnRunThread(front.state == SlotState::Queued ? front : *m_waiting.front(), front, lock);
    const auto ready = [&] { return front.state.load(std::memory_order_acquire) == SlotState::Ready; };
    if (!ready()) {
        lock.unlock();
        spinUntil(ready);
        lock.lock();
        if (maxWait.count() < 0)
            m_done.wait(lock, ready);
        else if (!m_done.wait_for(lock, maxWait, ready))
            return nullptr;
    }
    if (front.failure)
        std::rethrow_exception(std::exchange(front.failure, nullptr));
    return &front.result;
}

// Scans a queued slot on the run's thread; under m_mutex, which is let go meanwhile. A later file than
// the oldest is given up once a worker has the oldest ready, and queued again (first in line).
void ScanPipeline::scanOnRunThread(Slot& slot, Slot& front, std::unique_lock<std::mutex>& lock)
{
    takeFromWaiting(&slot);
    const bool later = &slot != &front;
    m_frontWaitedFor = later ? &front : nullptr;
    m_frontReady = false;
    lock.unlock();
    scanSlot(*m_runThreadScanner, slot);
    lock.lock();
    m_frontWaitedFor = nullptr;
    const bool stopped = m_stopFlag && m_stopFlag->load(std::memory_order_relaxed);
    if (later && m_runThreadScanner->cutShort() && m_frontReady && !stopped) {
        slot.state = SlotState::Queued;
        slot.failure = nullptr; // whatever the cut scan met, the next one meets again
        m_waiting.push_front(&slot);
        m_waitingCount.store(m_waiting.size(), std::memory_order_release);
        m_work.notify_one();
        return;
    }
    slot.state = SlotState::Ready;
}

// Marks a queued slot as being scanned; under m_mutex.
void ScanPipeline::takeFromWaiting(Slot* slot)
{
    std::erase(m_waiting, slot);
    m_waitingCount.store(m_waiting.size(), std::memory_order_release);
    slot->state = SlotState::Scanning;
}

void ScanPipeline::pop()
{
    m_spare.push_back(std::move(m_queued.front()));
    m_queued.pop_front();
    if (m_queued.empty() || m_queued.front()->directory != m_spare.back()->directory)
        --m_heldFolders;
    m_spare.back()->directory.reset();
}

void ScanPipeline::workerLoop(FileScanner& scanner)
{
    const auto workQueued = [this] {
        return m_waitingCount.load(std::memory_order_acquire) > 0 || m_cancel.load(std::memory_order_relaxed);
    };
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_stopping && m_waiting.empty()) {
            lock.unlock();
            spinUntil(workQueued);
            lock.lock();
        }
        m_work.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        Slot* slot = m_waiting.front();
        takeFromWaiting(slot);
        lock.unlock();
        scanSlot(scanner, *slot);
        lock.lock();
        slot->state = SlotState::Ready;
        if (slot == m_frontWaitedFor)
            m_frontReady = true; // the run's thread gives up the later file it scans
        m_done.notify_all();
    }
}

// A worker must not let an exception out of its thread (that would end the program); the run's thread
// meets it when it takes the file, where the front end can say what failed.
void ScanPipeline::scanSlot(FileScanner& scanner, Slot& slot)
{
    try {
        scanner.scan(slot.directory->fd.get(), slot.name.c_str(), slot.result, slot.directory->fileSystem);
    } catch (...) {
        slot.failure = std::current_exception();
    }
}

} // namespace vellick
