#pragma once

#include "base/file_system_kind.h"
#include "search/regex_scanner.h"
#include "search/scan_plan.h"
#include "search/scan_types.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace vellick {

// First reads of files timed, and how many of them took long enough to have waited for the disk; shared by
// the scanners of a run.
struct FirstReadCounts {
    std::atomic<uint32_t> reads { 0 };
    std::atomic<uint32_t> slow { 0 };
};

// Scans one file for the plan's patterns: leftmost matches of each pattern, never overlapping, with the
// hit limits of the single- or multi-pattern scanner. The stream (a space in front of the file under whole
// word) is taken in 51200-byte blocks, pattern by pattern within each block, which decides the hits kept
// when a limit is reached; blocks are read twenty at a time behind a carried tail of the stream. Line feeds
// are counted only up to the hits. A regular expression is scanned by a RegexScanner of its own. Owns its
// buffer; one scanner serves one file at a time.
class FileScanner {
public:
    explicit FileScanner(const ScanPlan& plan);

    // Scans `name`, relative to the open directory `dirFd` (AT_FDCWD for a path). Special files and
    // files that cannot be opened give a result that is not opened and not found. A caller whose listing
    // said the name is a regular file gives the file system of the directory: the file's status is then
    // asked for only when the file is found or does not fit one read, so a special file put in its place
    // since the listing may count as opened and not found.
    void scan(int dirFd, const char* name, ScanResult& result, FileSystemKind fileSystem = FileSystemKind::Unknown);

    // Flags that, once either is set, end the current scan before its next block; the result is then of
    // no use. The pipeline hands in its own (going away, or wanting the thread back) and the run's (Stop,
    // Ctrl-C).
    void setCancelFlags(const std::atomic<bool>* first, const std::atomic<bool>* second = nullptr)
    {
        m_cancel = { first, second };
    }
    // Whether the last scan was ended early by a cancel flag.
    bool cutShort() const { return m_cutShort; }

    // Counts first reads of files, and those that waited for the disk (the bytes were not in the page cache).
    void setFirstReadCounts(FirstReadCounts* counts) { m_firstReads = counts; }

    // How much of a file is read that reports no size or lies on a file system the kernel makes up as it
    // is read (/proc, /sys, ...): such files can be endless or claim sizes they never deliver.
    static constexpr uint64_t kUnsizedReadLimit = uint64_t { 1 } << 20;

private:
    static constexpr std::size_t kBlocksPerRead = 20;
    static constexpr std::size_t kReadSize = kBlocksPerRead * ScanPlan::kBlockSize;

    struct PatternState {
        uint64_t next = 0; // stream position of the next match attempt
        uint32_t hits = 0;
        bool done = false; // reached its own limit ("match all words")
    };

    bool cancelled() const;
    void scanOpen(int fd, FileSystemKind fileSystem, ScanResult& result);
    // Inside documents (file_scanner_containers.cpp): the text or the members of the document or archive
    // open at `fd` are scanned instead of its bytes.
    void scanInsideContainer(int fd, ContainerKind kind, ScanResult& result);
    static ContainerKind containerKindAt(int fd, const char* name);
    static std::string_view baseName(const char* name);
    bool scanMember(const ContainerMember& member, ScanResult& result);
    int openFile(int dirFd, const char* name);
    bool takeStatus(int fd);
    void keepOnlyFilesWithoutHits(ScanResult& result) const;
    void scanStream(int fd, ScanResult& result);
    std::size_t readFirst(int fd);
    std::size_t readFile(int fd, unsigned char* data, std::size_t size);
    std::size_t readFirstBytes(int fd, unsigned char* data, std::size_t size);
    std::size_t readMore(int fd, FileKind kind);
    bool scanBlock(FileKind kind, ScanResult& result);
    bool scanPattern(std::size_t index, FileKind kind, ScanResult& result);
    void findStartsTogether(const PatternSetProbe& setProbe, FileKind kind);
    bool takeStarts(std::size_t index, FileKind kind, ScanResult& result);
    bool takeHit(std::size_t index, uint64_t start, FileKind kind, ScanResult& result);
    bool limitReached() const;
    uint64_t nextCandidate(const CompiledPattern& pattern, FileKind kind, uint64_t from, uint64_t last) const;
    bool matchesAt(const std::string& bytes, const MatchTable& table, uint64_t start) const;
    bool countHit(PatternState& state);
    bool allWordsHit() const;
    uint64_t linesBefore(uint64_t streamPos);

    const unsigned char* at(uint64_t streamPos) const { return m_window + (streamPos - m_windowStart); }

    const ScanPlan& m_plan;
    std::array<const std::atomic<bool>*, 2> m_cancel {};
    FirstReadCounts* m_firstReads = nullptr;
    uint32_t m_untimedReads = 0; // since the last first read timed
    std::unique_ptr<unsigned char[]> m_buffer;
    unsigned char* m_window = nullptr; // carried tail of the stream, then the bytes of the last read
    uint64_t m_windowStart = 0; // stream position of m_window[0]
    uint64_t m_streamEnd = 0; // stream bytes read so far
    // The size the file's status gave, or kUnsizedReadLimit, or kSizeNotAsked while the status is not
    // taken: then a read that comes short on a local file system is the file's end.
    static constexpr uint64_t kSizeNotAsked = UINT64_MAX;
    uint64_t m_readLimit = 0;
    FileSystemKind m_fileSystem = FileSystemKind::Unknown; // of the file being scanned
    FileStatus m_status; // of the file being scanned, once taken
    bool m_statusTaken = false;
    bool m_notRegular = false; // the status, taken during the scan, said so
    bool m_noAccessTime = true; // open without updating access times, until that is refused once
    mutable bool m_cutShort = false; // a cancel flag was seen set during the scan

    uint64_t m_fileRead = 0; // file bytes read so far
    uint64_t m_blockStart = 0;
    uint64_t m_blockEnd = 0;
    uint64_t m_linePos = 0; // line feeds in the stream before m_linePos ...
    uint64_t m_lines = 0; // ... are m_lines
    uint32_t m_totalHits = 0;
    std::vector<PatternState> m_states;
    std::vector<std::vector<uint64_t>> m_starts; // per pattern, its match starts in the block (several patterns)
    std::array<MultiLiteralProbe::Candidate, 128> m_candidates {};
    std::unique_ptr<RegexScanner> m_regexScanner; // when the plan holds a regular expression
    ScanResult m_memberResult; // the scan of one member, kept for its buffers
    const char* m_containerName = nullptr; // while a searched file's kind is still to be told: its name
};

} // namespace vellick
