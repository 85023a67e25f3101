#include "search/file_scanner.h"

#include "base/open_file_limit.h"
#include "base/unique_fd.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace vellick {

namespace {

FileKind kindOf(const unsigned char* data, std::size_t size)
{
    const std::size_t probe = std::min(size, ScanPlan::kKindProbeBytes);
    const bool high = std::any_of(data, data + probe, [](unsigned char c) { return c >= 0x80; });
    return high ? FileKind::Binary : FileKind::Text;
}

// File systems whose files the kernel generates when they are read: their sizes say nothing (0, 4096, or
// terabytes for /proc/kcore) and some never end (/proc/<pid>/pagemap).
bool onGeneratedFileSystem(int fd)
{
    struct statfs info { };
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x19800202: // mqueue
        return true;
    default:
        return false;
    }
}

} // namespace

FileScanner::FileScanner(const ScanPlan& plan)
    : m_plan(plan)
    , m_buffer(new unsigned char[plan.carrySize() + kReadSize])
    , m_states(plan.patternCount())
{
    if (plan.regex())
        m_regexScanner = std::make_unique<RegexScanner>(*plan.regex(), plan.maxKeys(), plan.flags(), plan.skipBinary());
}

void FileScanner::scan(int dirFd, const char* name, ScanResult& result)
{
    result.reset();
    const bool noPatterns = m_plan.patternCount() == 0 || (m_plan.singlePattern() && m_plan.pattern(0).bytes.empty());
    if (!m_regexScanner && noPatterns)
        return;
    UniqueFd fd(openWaitingForDescriptor(
        dirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, [this] { return cancelled(); }));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    result.opened = true;
    result.status = { static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_mtim.tv_sec),
        static_cast<int32_t>(status.st_mtim.tv_nsec) };
    const bool sized = status.st_size > 0 && !onGeneratedFileSystem(fd.get());
    m_readLimit = sized ? static_cast<uint64_t>(status.st_size) : kUnsizedReadLimit;
    m_fileRead = 0;
    if (m_regexScanner)
        m_regexScanner->scan(
            fd.get(), m_readLimit, [this] { return cancelled(); }, result);
    else
        scanStream(fd.get(), result);

    if (m_plan.singlePattern() || !m_plan.allWords())
        result.found = !result.hits.empty();
    else
        result.found = !result.hits.empty() && allWordsHit();
    if (m_plan.filesWithoutHits())
        keepOnlyFilesWithoutHits(result);
    if (result.found && !m_plan.singlePattern()) {
        std::stable_sort(
            result.hits.begin(), result.hits.end(), [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
    }
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
    return std::any_of(m_cancel.begin(), m_cancel.end(),
        [](const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); });
}

void FileScanner::scanStream(int fd, ScanResult& result)
{
    std::fill(m_states.begin(), m_states.end(), PatternState {});
    m_totalHits = 0;
    m_linePos = 0;
    m_lines = 0;
    std::size_t got = readFirst(fd);
    result.kind = kindOf(m_window, got);
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
// report no size or lie on a generated file system are read up to kUnsizedReadLimit at most.
std::size_t FileScanner::readFile(int fd, unsigned char* data, std::size_t size)
{
    if (m_fileRead >= m_readLimit)
        return 0;
    const uint64_t left = m_readLimit - m_fileRead;
    if (m_readLimit == kUnsizedReadLimit)
        size = static_cast<std::size_t>(std::min<uint64_t>(size, left));
    const std::size_t got = readFully(fd, data, size, static_cast<std::size_t>(left));
    m_fileRead += got;
    return got;
}

// Scans the current block pattern by pattern; true when the file's hit limit is reached.
bool FileScanner::scanBlock(FileKind kind, ScanResult& result)
{
    for (std::size_t i = 0; i < m_plan.patternCount(); ++i) {
        if (!m_states[i].done && scanPattern(i, kind, result))
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
        const uint64_t end = start + length;
        const uint64_t line = kind == FileKind::Text ? linesBefore(end) : 0;
        result.hits.push_back(
            { start, line, static_cast<uint32_t>(length - m_plan.delimiterBytes()), static_cast<uint8_t>(index) });
        start = end;
        if (countHit(state)) {
            state.next = start;
            return !m_plan.allWords() || std::all_of(m_states.begin(), m_states.end(), [](auto& s) { return s.done; });
        }
    }
    state.next = start;
    return false;
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
