#include "search/file_scanner.h"

#include "search/unique_fd.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace vellick {

namespace {

    FileKind kindOf(const unsigned char* data, std::size_t size)
    {
        const std::size_t probe = std::min(size, ScanPlan::kKindProbeBytes);
        const bool high = std::any_of(data, data + probe, [](unsigned char c) { return c >= 0x80; });
        return high ? FileKind::Binary : FileKind::Text;
    }

    uint64_t countLineFeeds(const unsigned char* data, std::size_t size)
    {
        return static_cast<uint64_t>(std::count(data, data + size, '\n'));
    }

} // namespace

FileScanner::FileScanner(const ScanPlan& plan)
    : m_plan(plan)
    , m_buffer(new unsigned char[plan.carrySize() + ScanPlan::kBlockSize])
    , m_states(plan.patternCount())
{
}

void FileScanner::scan(int dirFd, const char* name, ScanResult& result)
{
    result.reset();
    if (m_plan.patternCount() == 0 || (m_plan.singlePattern() && m_plan.pattern(0).bytes.empty()))
        return;
    UniqueFd fd(::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    result.opened = true;
    result.status = { static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_mtime) };

    std::fill(m_states.begin(), m_states.end(), PatternState {});
    m_totalHits = 0;
    m_linesBeforeBlock = 0;
    std::size_t blockSize = readFirstBlock(fd.get());
    result.kind = kindOf(m_window, blockSize);
    while (blockSize > 0) {
        m_blockEnd = m_blockStart + blockSize;
        if (scanBlock(m_plan, result.kind, result))
            break;
        if (result.kind == FileKind::Text)
            m_linesBeforeBlock += countLineFeeds(at(m_blockStart), blockSize);
        if (blockSize < ScanPlan::kBlockSize)
            break; // the file ended inside this block
        blockSize = readNextBlock(fd.get(), blockSize);
    }

    if (m_plan.singlePattern() || !m_plan.allWords())
        result.found = !result.hits.empty();
    else
        result.found = !result.hits.empty() && allWordsHit();
    if (result.found && !m_plan.singlePattern()) {
        std::stable_sort(result.hits.begin(), result.hits.end(),
            [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
    }
}

std::size_t FileScanner::readFirstBlock(int fd)
{
    m_window = m_buffer.get() + m_plan.carrySize();
    m_windowStart = 0;
    m_blockStart = 0;
    if (!m_plan.wholeWord())
        return readFully(fd, m_window, ScanPlan::kBlockSize);
    // Under whole word the stream starts with a space, so a word at the file's start has a delimiter.
    m_window[0] = ' ';
    return 1 + readFully(fd, m_window + 1, ScanPlan::kBlockSize - 1);
}

// Keeps the tail of the stream so far in front of the read area, where a match in progress can go on.
std::size_t FileScanner::readNextBlock(int fd, std::size_t lastBlockSize)
{
    unsigned char* readArea = m_buffer.get() + m_plan.carrySize();
    const std::size_t windowSize = (m_blockStart - m_windowStart) + lastBlockSize;
    const std::size_t keep = std::min(m_plan.carrySize(), windowSize);
    std::memmove(readArea - keep, m_window + (windowSize - keep), keep);
    m_window = readArea - keep;
    m_windowStart = m_blockEnd - keep;
    m_blockStart = m_blockEnd;
    return readFully(fd, readArea, ScanPlan::kBlockSize);
}

// Scans the current block pattern by pattern; true when the file's hit limit is reached.
bool FileScanner::scanBlock(const ScanPlan& plan, FileKind kind, ScanResult& result)
{
    for (std::size_t i = 0; i < plan.patternCount(); ++i) {
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
    uint64_t lineCursor = m_blockStart;
    uint64_t lines = m_linesBeforeBlock;
    uint64_t start = state.next;
    while (start <= lastStart) {
        start = findCandidate(pattern, kind, start, lastStart);
        if (start > lastStart)
            break;
        if (!matchesAt(pattern.bytes, table, start)) {
            ++start;
            continue;
        }
        const uint64_t end = start + length; // one past the match
        Hit hit { start, 0, static_cast<uint32_t>(length - m_plan.delimiterBytes()), static_cast<uint8_t>(index) };
        if (kind == FileKind::Text) {
            lines += countLineFeeds(at(lineCursor), end - lineCursor);
            lineCursor = end;
            hit.line = lines;
        }
        result.hits.push_back(hit);
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

// The first start at or after `from` whose anchor byte can match, or `last` + 1 when there is none.
uint64_t FileScanner::findCandidate(const CompiledPattern& pattern, FileKind kind, uint64_t from, uint64_t last) const
{
    const std::size_t anchor = pattern.anchor;
    const unsigned char* first = at(from + anchor);
    const unsigned char* end = at(last + anchor) + 1;
    const int sole = pattern.soleAnchorByte[kind == FileKind::Binary ? 1 : 0];
    if (sole >= 0) {
        const void* found = std::memchr(first, sole, static_cast<std::size_t>(end - first));
        return found ? from + static_cast<uint64_t>(static_cast<const unsigned char*>(found) - first) : last + 1;
    }
    const MatchTable& table = m_plan.table(kind);
    const auto anchorByte = static_cast<unsigned char>(pattern.bytes[anchor]);
    for (const unsigned char* p = first; p != end; ++p) {
        if (table.matches(anchorByte, *p))
            return from + static_cast<uint64_t>(p - first);
    }
    return last + 1;
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
