#include "search/scan_pipeline.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace vellick {

ScanPipeline::ScanPipeline(
    const ScanPlan& plan, int workerCount, bool runThreadScans, const std::atomic<bool>* stopFlag)
    : m_runThreadScans(runThreadScans)
    , m_stopFlag(stopFlag)
{
    // A worker's scanner is made here, so that running out of memory for it, or of threads, ends up here
    // too: the search then goes on with the workers there are.
    m_workers.reserve(static_cast<std::size_t>(std::max(workerCount, 0)));
    m_workerScanners.reserve(m_workers.capacity());
    for (int i = 0; i < workerCount; ++i) {
        try {
            FileScanner& scanner = *m_workerScanners.emplace_back(std::make_unique<FileScanner>(plan));
            scanner.setCancelFlags(&m_cancel, m_stopFlag);
            m_workers.emplace_back([this, &scanner] { workerLoop(scanner); });
        } catch (const std::system_error&) {
            break;
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    m_runThreadScans = m_runThreadScans || m_workers.empty();
    if (m_runThreadScans) {
        m_runThreadScanner = std::make_unique<FileScanner>(plan);
        m_runThreadScanner->setCancelFlags(m_stopFlag);
    }
}

ScanPipeline::~ScanPipeline()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
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
    if (m_workers.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.push_back(raw);
    }
    m_work.notify_one();
}

const ScanResult* ScanPipeline::front(std::chrono::milliseconds maxWait)
{
    Slot& front = *m_queued.front();
    std::unique_lock lock(m_mutex);
    // Rather than wait, scan here: the oldest file if no worker has it, else the next one no one has.
    while (m_runThreadScans && front.state != SlotState::Ready && (!m_waiting.empty() || m_workers.empty())) {
        Slot* slot = front.state == SlotState::Queued ? &front : m_waiting.front();
        std::erase(m_waiting, slot);
        slot->state = SlotState::Scanning;
        lock.unlock();
        scanSlot(*m_runThreadScanner, *slot);
        lock.lock();
        slot->state = SlotState::Ready;
    }
    const auto ready = [&] { return front.state == SlotState::Ready; };
    if (maxWait.count() < 0)
        m_done.wait(lock, ready);
    else if (!m_done.wait_for(lock, maxWait, ready))
        return nullptr;
    if (front.failure)
        std::rethrow_exception(std::exchange(front.failure, nullptr));
    return &front.result;
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
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        Slot* slot = m_waiting.front();
        m_waiting.pop_front();
        slot->state = SlotState::Scanning;
        lock.unlock();
        scanSlot(scanner, *slot);
        lock.lock();
        slot->state = SlotState::Ready;
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
