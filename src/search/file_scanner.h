#pragma once

#include "search/scan_plan.h"
#include "search/scan_types.h"

#include <memory>
#include <vector>

namespace vellick {

// Reads one file in 51200-byte stream blocks (a space in front of the file under whole word) and finds
// the plan's patterns in it: leftmost matches of each pattern, never overlapping, with the hit limits of
// the single- or multi-pattern scanner. Owns its read buffer; one scanner serves one file at a time.
class FileScanner {
public:
    explicit FileScanner(const ScanPlan& plan);

    // Scans `name`, relative to the open directory `dirFd` (AT_FDCWD for a path). Special files and
    // files that cannot be opened give a result that is not opened and not found.
    void scan(int dirFd, const char* name, ScanResult& result);

private:
    struct PatternState {
        uint64_t next = 0; // stream position of the next match attempt
        uint32_t hits = 0;
        bool done = false; // reached its own limit ("match all words")
    };

    std::size_t readFirstBlock(int fd);
    std::size_t readNextBlock(int fd, std::size_t lastBlockSize);
    bool scanBlock(const ScanPlan& plan, FileKind kind, ScanResult& result);
    bool scanPattern(std::size_t index, FileKind kind, ScanResult& result);
    uint64_t findCandidate(const CompiledPattern& pattern, FileKind kind, uint64_t from, uint64_t last) const;
    bool matchesAt(const std::string& bytes, const MatchTable& table, uint64_t start) const;
    bool countHit(PatternState& state);
    bool allWordsHit() const;

    const unsigned char* at(uint64_t streamPos) const { return m_window + (streamPos - m_windowStart); }

    const ScanPlan& m_plan;
    std::unique_ptr<unsigned char[]> m_buffer;
    unsigned char* m_window = nullptr; // carried tail of earlier blocks, then the current block
    uint64_t m_windowStart = 0; // stream position of m_window[0]
    uint64_t m_blockStart = 0;
    uint64_t m_blockEnd = 0;
    uint64_t m_linesBeforeBlock = 0;
    uint32_t m_totalHits = 0;
    std::vector<PatternState> m_states;
};

} // namespace vellick
