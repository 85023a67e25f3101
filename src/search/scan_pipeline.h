#pragma once

#include "search/file_scanner.h"
#include "search/folder_walk.h"
#include "search/scan_types.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vellick {

// Scans files ahead of the search run on worker threads while the run takes the results in the order
// the files were queued. At most a fixed number of files are queued at once, so memory stays bounded.
// The run's thread may scan the oldest file itself instead of waiting for a worker, or a later one while
// a worker has the oldest; that later scan is given up (and the file queued again) once the oldest is
// ready, so a long file never holds back results already there. With no workers every file is scanned
// on the run's thread when it is taken.
class ScanPipeline {
public:
    static constexpr std::size_t kWindow = 64;

    // `stopFlag` (may be null) is the run's Stop: every scan, on any thread, ends at its next block once
    // it is set. Up to `diskWorkers` workers scan once reads are seen waiting for the disk (the files
    // are not in the page cache): more reads in flight then shorten the run, and the processors are mostly
    // idle anyway.
    ScanPipeline(const ScanPlan& plan, int workerCount, bool runThreadScans, const std::atomic<bool>* stopFlag,
        int diskWorkers = 0);
    ~ScanPipeline();
    ScanPipeline(const ScanPipeline&) = delete;
    ScanPipeline& operator=(const ScanPipeline&) = delete;

    // Queued files keep their folders open: at most `count` different folders are held at once.
    void limitHeldFolders(std::size_t count) { m_folderLimit = count > 0 ? count : 1; }
    bool full() const { return m_queued.size() >= kWindow || m_heldFolders >= m_folderLimit; }
    bool empty() const { return m_queued.empty(); }
    void queue(std::shared_ptr<const OpenDirectory> directory, std::string_view name);

    // The result of the oldest queued file, waiting at most `maxWait` for it (a negative wait: as long as
    // it takes); nullptr when not ready.
    const ScanResult* front(std::chrono::milliseconds maxWait);
    // The directory and name of the oldest queued file.
    const OpenDirectory& frontDirectory() const { return *m_queued.front()->directory; }
    const std::string& frontName() const { return m_queued.front()->name; }
    void pop();

private:
    enum class SlotState { Queued, Scanning, Ready };
    struct Slot {
        std::shared_ptr<const OpenDirectory> directory;
        std::string name;
        ScanResult result;
        std::atomic<SlotState> state = SlotState::Queued; // changed under m_mutex; read without it while spinning
        std::exception_ptr failure; // what the scan threw (out of memory), thrown again on the run's thread
    };

    bool addWorker();
    void addWorkersForDisk();
    void workerLoop(FileScanner& scanner);
    void takeFromWaiting(Slot* slot);
    void scanOnRunThread(Slot& slot, Slot& front, std::unique_lock<std::mutex>& lock);
    void scanSlot(FileScanner& scanner, Slot& slot);

    const ScanPlan& m_plan;
    bool m_runThreadScans;
    const std::atomic<bool>* m_stopFlag;
    std::unique_ptr<FileScanner> m_runThreadScanner;
    std::deque<std::unique_ptr<Slot>> m_queued; // oldest first; only the run's thread adds and removes
    std::size_t m_heldFolders = 0; // different directories among m_queued (files come folder by folder)
    std::size_t m_folderLimit = SIZE_MAX;
    std::vector<std::unique_ptr<Slot>> m_spare; // finished slots kept for their buffers
    std::deque<Slot*> m_waiting; // queued slots no one scans yet
    std::atomic<std::size_t> m_waitingCount { 0 }; // its size, changed under m_mutex; read while spinning
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    bool m_stopping = false;
    std::atomic<bool> m_cancel { false };
    Slot* m_frontWaitedFor = nullptr; // while the run's thread scans a later file: the oldest
    std::atomic<bool> m_frontReady { false }; // ... which a worker has made ready since
    FirstReadCounts m_firstReads; // counted by the scanners
    std::size_t m_diskWorkers; // 0 once grown, or when not to grow
    std::vector<std::thread> m_workers;
    std::vector<std::unique_ptr<FileScanner>> m_workerScanners; // one per worker, in order
};

} // namespace vellick
