#include "search/file_scanner.h"

#include "base/open_file_limit.h"
#include "base/unique_fd.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace vellick {

FileScanner::FileScanner(const ScanPlan& plan)
    : m_plan(plan)
    , m_buffer(new unsigned char[plan.carrySize() + kReadSize])
    , m_states(plan.patternCount())
{
    if (plan.regex())
        m_regexScanner = std::make_unique<RegexScanner>(*plan.regex(), plan.maxKeys(), plan.flags(), plan.skipBinary());
}

void FileScanner::scan(int dirFd, const char* name, ScanResult& result, FileSystemKind fileSystem)
{
    result.reset();
    m_cutShort = false;
    const bool noPatterns = m_plan.patternCount() == 0 || (m_plan.singlePattern() && m_plan.pattern(0).bytes.empty());
    if (!m_regexScanner && noPatterns)
        return;
    UniqueFd fd(openFile(dirFd, name));
    if (!fd.valid())
        return;
    // Whether the file is a document or an archive is told by its name and first bytes: the keyword scan
    // looks at the bytes it reads first anyway; a regular expression's scan reads on its own, so its head
    // is read for it.
    m_containerName = m_plan.insideDocuments() ? name : nullptr;
    scanOpen(fd.get(), fileSystem, result);
}

void FileScanner::scanOpen(int fd, FileSystemKind fileSystem, ScanResult& result)
{
    m_fileSystem = fileSystem == FileSystemKind::Unknown ? fileSystemKind(fd) : fileSystem;
    m_statusTaken = false;
    m_notRegular = false;
    m_fileRead = 0;
    m_readLimit = m_fileSystem == FileSystemKind::Generated ? kUnsizedReadLimit : kSizeNotAsked;
    // A name that no listing said is a regular file is checked before it is read, as is one that may be a
    // document or an archive.
    if ((fileSystem == FileSystemKind::Unknown || (m_regexScanner && m_containerName)) && !takeStatus(fd))
        return;
    if (m_regexScanner && m_containerName) {
        const ContainerKind kind = containerKindAt(fd, std::exchange(m_containerName, nullptr));
        if (kind != ContainerKind::None)
            scanInsideContainer(fd, kind, result);
    }
    if (result.container.kind == ContainerKind::None) {
        if (m_regexScanner)
            m_regexScanner->scan([this, fd](unsigned char* data, std::size_t size) { return readFile(fd, data, size); },
                [this] { return cancelled(); }, result);
        else
            scanStream(fd, result);
    }
    if (result.container.kind != ContainerKind::None)
        result.found = !result.container.found.empty(); // its text or members were scanned instead
    else if (m_plan.singlePattern() || !m_plan.allWords())
        result.found = !result.hits.empty();
    else
        result.found = !result.hits.empty() && allWordsHit();
    if (m_plan.filesWithoutHits() && result.container.kind == ContainerKind::None)
        keepOnlyFilesWithoutHits(result);
    // Only a found file needs its size and time, and only then must it be known to be a regular file. A
    // document or an archive needs them anyway: the loader checks the time of what it extracts from.
    const bool statusNeeded = result.found || result.container.kind != ContainerKind::None;
    if (m_notRegular || (statusNeeded && !m_statusTaken && !takeStatus(fd))) {
        result.reset();
        return;
    }
    result.opened = true;
    result.status = m_status;
    if (result.found && !m_plan.singlePattern()) {
        std::stable_sort(
            result.hits.begin(), result.hits.end(), [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
    }
}

// Opens without updating the access time where the file's owner allows that, else as usual.
int FileScanner::openFile(int dirFd, const char* name)
{
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const auto cancelled = [this] { return this->cancelled(); };
    if (m_noAccessTime) {
        const int fd = openWaitingForDescriptor(dirFd, name, kFlags | O_NOATIME, cancelled);
        if (fd >= 0 || errno != EPERM)
            return fd;
        m_noAccessTime = false; // not the owner: asking again for every file would cost an open each
    }
    return openWaitingForDescriptor(dirFd, name, kFlags, cancelled);
}

// Takes the open file's size and time; false, marking the scan, when it is not a regular file. The size
// bounds the rest of the reading, unless the file lies on a generated file system or reports none.
bool FileScanner::takeStatus(int fd)
{
    struct stat status { };
    m_statusTaken = true;
    m_notRegular = ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode);
    if (m_notRegular)
        return false;
    m_status = { static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_mtim.tv_sec),
        static_cast<int32_t>(status.st_mtim.tv_nsec) };
    if (m_fileSystem != FileSystemKind::Generated)
        m_readLimit = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : kUnsizedReadLimit;
    return true;
}

// Files without hits: a file read to its end without a match is the one found, with no hits; a binary
// file skipped after its first read was not read to its end, nor was a scan cut short by Stop.
void FileScanner::keepOnlyFilesWithoutHits(ScanResult& result) const
{
    const bool skipped = m_plan.skipBinary() && result.kind == FileKind::Binary;
    result.found = !result.found && !skipped && !cancelled();
    result.hits.clear();
}

bool FileScanner::cancelled() const
{
    m_cutShort = m_cutShort || std::any_of(m_cancel.begin(), m_cancel.end(), [](const std::atomic<bool>* flag) {
        return flag && flag->load(std::memory_order_relaxed);
    });
    return m_cutShort;
}

void FileScanner::scanStream(int fd, ScanResult& result)
{
    std::fill(m_states.begin(), m_states.end(), PatternState {});
    m_totalHits = 0;
    m_linePos = 0;
    m_lines = 0;
    std::size_t got = readFirst(fd);
    const std::size_t space = m_plan.wholeWord() ? 1 : 0; // in front of the file's bytes
    if (m_containerName && got > space) {
        const std::span head(m_window + space, got - space);
        const ContainerKind kind = containerKindOf(baseName(std::exchange(m_containerName, nullptr)), head);
        if (kind != ContainerKind::None) {
            scanInsideContainer(fd, kind, result);
            return;
        }
    }
    result.kind = kindOfStreamHead(m_window, got);
    if (m_plan.skipBinary() && result.kind == FileKind::Binary)
        return;
    m_blockStart = 0;
    while (got > 0) {
        // Whole blocks, except where the file ended inside the last one.
        for (; m_blockStart < m_streamEnd; m_blockStart = m_blockEnd) {
            if (cancelled())
                return; // nobody wants the rest
            m_blockEnd = std::min<uint64_t>(m_blockStart + ScanPlan::kBlockSize, m_streamEnd);
            if (scanBlock(result.kind, result))
                return;
        }
        if (got < kReadSize || cancelled())
            return; // the file ended inside this read, or nobody wants the rest
        got = readMore(fd, result.kind);
    }
}

std::size_t FileScanner::readFirst(int fd)
{
    m_window = m_buffer.get() + m_plan.carrySize();
    m_windowStart = 0;
    std::size_t got = 0;
    if (m_plan.wholeWord()) {
        // Under whole word the stream starts with a space, so a word at the file's start has a delimiter.
        m_window[0] = ' ';
        got = 1 + readFile(fd, m_window + 1, kReadSize - 1);
    } else {
        got = readFile(fd, m_window, kReadSize);
    }
    m_streamEnd = got;
    return got;
}

// Keeps the tail of the stream so far in front of the read area, where a match in progress can go on.
std::size_t FileScanner::readMore(int fd, FileKind kind)
{
    if (kind == FileKind::Text)
        linesBefore(m_streamEnd); // count the lines of the bytes about to go, while they are here
    unsigned char* readArea = m_buffer.get() + m_plan.carrySize();
    const std::size_t windowSize = static_cast<std::size_t>(m_streamEnd - m_windowStart);
    const std::size_t keep = std::min(m_plan.carrySize(), windowSize);
    std::memmove(readArea - keep, m_window + (windowSize - keep), keep);
    m_window = readArea - keep;
    m_windowStart = m_streamEnd - keep;
    const std::size_t got = readFile(fd, readArea, kReadSize);
    m_streamEnd += got;
    return got;
}

// A file is read as it was when opened: once its known size is in, the end is not asked for. Files that
// report no size or lie on a generated file system are read up to kUnsizedReadLimit at most. Before the
// status is taken, one read is tried: on a local file system a short one met the file's end, so a file
// that fits the read needs no status call; otherwise the status is taken and bounds the rest.
std::size_t FileScanner::readFile(int fd, unsigned char* data, std::size_t size)
{
    if (m_readLimit == kSizeNotAsked) {
        std::size_t got = readFirstBytes(fd, data, size);
        m_fileRead += got;
        if (got < size && m_fileSystem == FileSystemKind::Local) {
            m_readLimit = m_fileRead;
            return got;
        }
        if (!takeStatus(fd))
            return 0; // the scan ends here, and the file counts as not opened
        if (got < size)
            got += readFile(fd, data + got, size - got);
        return got;
    }
    if (m_fileRead >= m_readLimit)
        return 0;
    const uint64_t left = m_readLimit - m_fileRead;
    if (m_readLimit == kUnsizedReadLimit)
        size = static_cast<std::size_t>(std::min<uint64_t>(size, left));
    const std::size_t got = readFully(fd, data, size, static_cast<std::size_t>(left));
    m_fileRead += got;
    return got;
}

// The file's first read, timed in one file of every few when first reads are counted: a read that took
// much longer than copying its bytes from memory takes waited for the disk.
std::size_t FileScanner::readFirstBytes(int fd, unsigned char* data, std::size_t size)
{
    constexpr uint32_t kTimedEvery = 8;
    if (!m_firstReads || ++m_untimedReads < kTimedEvery)
        return readFully(fd, data, size, 1);
    m_untimedReads = 0;
    using Clock = std::chrono::steady_clock;
    constexpr auto kWaitedFor = std::chrono::microseconds(50);
    constexpr std::size_t kBytesPerMicrosecond = 2000; // far slower than a copy from the page cache
    const Clock::time_point began = Clock::now();
    const std::size_t got = readFully(fd, data, size, 1);
    const auto copyTime = std::chrono::microseconds(got / kBytesPerMicrosecond);
    m_firstReads->reads.fetch_add(1, std::memory_order_relaxed);
    if (Clock::now() - began > kWaitedFor + copyTime)
        m_firstReads->slow.fetch_add(1, std::memory_order_relaxed);
    return got;
}

// Scans the current block pattern by pattern; true when the file's hit limit is reached. With several
// patterns, the match starts of all of them are found in one pass first.
bool FileScanner::scanBlock(FileKind kind, ScanResult& result)
{
    const PatternSetProbe* setProbe = m_plan.setProbe(kind);
    if (setProbe)
        findStartsTogether(*setProbe, kind);
    for (std::size_t i = 0; i < m_plan.patternCount(); ++i) {
        if (m_states[i].done)
            continue;
        if (setProbe ? takeStarts(i, kind, result) : scanPattern(i, kind, result))
            return true;
    }
    return false;
}

bool FileScanner::scanPattern(std::size_t index, FileKind kind, ScanResult& result)
{
    const CompiledPattern& pattern = m_plan.pattern(index);
    const std::size_t length = pattern.bytes.size();
    PatternState& state = m_states[index];
    if (length == 0 || state.next + length > m_blockEnd)
        return false;
    const MatchTable& table = m_plan.table(kind);
    const uint64_t lastStart = m_blockEnd - length;
    uint64_t start = state.next;
    while ((start = nextCandidate(pattern, kind, start, lastStart)) <= lastStart) {
        if (!matchesAt(pattern.bytes, table, start)) {
            ++start;
            continue;
        }
        if (takeHit(index, start, kind, result))
            return limitReached();
        start = state.next;
    }
    state.next = start;
    return false;
}

// Every start in the block where a pattern matches, from its next attempt on, overlapping ones too: the
// pattern's own leftmost non-overlapping matches are taken from them afterwards, as scanPattern would.
void FileScanner::findStartsTogether(const PatternSetProbe& setProbe, FileKind kind)
{
    m_starts.resize(m_plan.patternCount());
    uint64_t from = UINT64_MAX;
    uint64_t last = 0;
    for (std::size_t i = 0; i < m_plan.patternCount(); ++i) {
        m_starts[i].clear();
        const std::size_t length = m_plan.pattern(i).bytes.size();
        if (length == 0 || m_states[i].done || m_states[i].next + length > m_blockEnd)
            continue;
        from = std::min(from, m_states[i].next + setProbe.offsets[i]);
        last = std::max(last, m_blockEnd - length + setProbe.offsets[i]);
    }
    if (from > last)
        return;
    const MatchTable& table = m_plan.table(kind);
    const unsigned char* base = at(from);
    const auto span = static_cast<std::size_t>(last - from);
    for (std::size_t position = 0; position <= span;) {
        std::size_t count = 0;
        position = setProbe.probe.collect(base, position, span, m_candidates.data(), m_candidates.size(), count);
        for (std::size_t k = 0; k < count; ++k) {
            const uint64_t probed = from + m_candidates[k].position;
            for (uint32_t buckets = m_candidates[k].buckets; buckets; buckets &= buckets - 1) {
                for (const uint32_t i : setProbe.probe.bucket(static_cast<std::size_t>(std::countr_zero(buckets)))) {
                    const std::string& bytes = m_plan.pattern(i).bytes;
                    const uint64_t start = probed - setProbe.offsets[i];
                    if (probed >= m_states[i].next + setProbe.offsets[i] && start + bytes.size() <= m_blockEnd
                        && !bytes.empty() && !m_states[i].done && matchesAt(bytes, table, start))
                        m_starts[i].push_back(start);
                }
            }
        }
    }
}

// Takes the pattern's leftmost non-overlapping matches among the starts found together.
bool FileScanner::takeStarts(std::size_t index, FileKind kind, ScanResult& result)
{
    const std::size_t length = m_plan.pattern(index).bytes.size();
    PatternState& state = m_states[index];
    if (length == 0 || state.next + length > m_blockEnd)
        return false;
    for (const uint64_t start : m_starts[index]) {
        if (start >= state.next && takeHit(index, start, kind, result))
            return limitReached();
    }
    state.next = std::max(state.next, m_blockEnd - length + 1);
    return false;
}

// Records a hit of the pattern at `start` and moves its next attempt past it; true when the pattern may
// take no more hits.
bool FileScanner::takeHit(std::size_t index, uint64_t start, FileKind kind, ScanResult& result)
{
    const std::size_t length = m_plan.pattern(index).bytes.size();
    const uint64_t end = start + length;
    const uint64_t line = kind == FileKind::Text ? linesBefore(end) : 0;
    result.hits.push_back(
        { start, line, static_cast<uint32_t>(length - m_plan.delimiterBytes()), static_cast<uint8_t>(index) });
    m_states[index].next = end;
    return countHit(m_states[index]);
}

// After a pattern took its last hit: whether the file's scan ends (under "match all words" only once
// every pattern is done).
bool FileScanner::limitReached() const
{
    return !m_plan.allWords() || std::all_of(m_states.begin(), m_states.end(), [](auto& s) { return s.done; });
}

// Counts a new hit; true when the pattern may take no more: under "match all words" each pattern has its
// own limit, otherwise the file's hits together have one.
bool FileScanner::countHit(PatternState& state)
{
    const auto limit = static_cast<uint32_t>(m_plan.maxKeys());
    ++state.hits;
    ++m_totalHits;
    if (m_plan.allWords()) {
        state.done = state.hits >= limit;
        return state.done;
    }
    return m_totalHits >= limit;
}

// Line feeds in the stream before `streamPos`. The count moves forward from the last answer, or back from
// it for a hit of a later pattern earlier in the same block; both stay inside the bytes in memory.
uint64_t FileScanner::linesBefore(uint64_t streamPos)
{
    if (streamPos >= m_linePos) {
        m_lines += countByte(at(m_linePos), static_cast<std::size_t>(streamPos - m_linePos), '\n');
        m_linePos = streamPos;
        return m_lines;
    }
    return m_lines - countByte(at(streamPos), static_cast<std::size_t>(m_linePos - streamPos), '\n');
}

// The first start in [from, last] that can match, or a start past `last` but never before `from`: after a
// hit that ends a block the next attempt must not move back into that hit.
uint64_t FileScanner::nextCandidate(const CompiledPattern& pattern, FileKind kind, uint64_t from, uint64_t last) const
{
    if (from > last)
        return from;
    const auto& probe = pattern.probe[kindIndex(kind)];
    if (!probe)
        return from;
    const unsigned char* base = at(from);
    return from + findProbeCandidate(base, 0, static_cast<std::size_t>(last - from), *probe);
}

bool FileScanner::matchesAt(const std::string& bytes, const MatchTable& table, uint64_t start) const
{
    const unsigned char* data = at(start);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!table.matches(static_cast<unsigned char>(bytes[i]), data[i]))
            return false;
    }
    return true;
}

// "Match all words": every word was hit, in its plain or (unicode aware) its wide form.
bool FileScanner::allWordsHit() const
{
    const std::size_t words = m_plan.unicodeAware() ? m_states.size() / 2 : m_states.size();
    for (std::size_t i = 0; i < words; ++i) {
        const bool wideHit = m_plan.unicodeAware() && m_states[words + i].hits > 0;
        if (m_states[i].hits == 0 && !wideHit)
            return false;
    }
    return true;
}

} // namespace vellick
