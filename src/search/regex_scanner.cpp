#include "search/regex_scanner.h"

#include "search/byte_probe.h"
#include "search/regex_matcher.h"
#include "search/scan_plan.h"
#include "search/search_options.h"

#include <algorithm>
#include <cstring>

namespace vellick {

namespace {

// Bytes kept in front of the next bytes to match: the context of ^ and of word boundaries there.
constexpr std::size_t kContextBytes = 16;

} // namespace

RegexScanner::RegexScanner(const RegexMatcher& matcher, int maxKeys, uint32_t flags, bool skipBinary)
    : m_matcher(matcher)
    , m_maxKeys(static_cast<uint32_t>(std::clamp(maxKeys, kMinMaxKeys, kMaxMaxKeys)))
    , m_unicodeAware(flags & UnicodeAware)
    , m_wholeWord(flags & WholeWord)
    , m_skipBinary(skipBinary)
    , m_buffer(new char[kContextBytes + kPieceSize])
    , m_wide(matcher, m_maxKeys)
{
}

void RegexScanner::scan(const ReadFunction& readMore, const std::function<bool()>& cancelled, ScanResult& result)
{
    m_bufferStart = 0;
    m_size = 0;
    m_lineStart = 0;
    m_nextStart = 0;
    m_hits = 0;
    m_linePos = 0;
    m_lines = 0;
    m_wideHits.clear();

    bool atEnd = false;
    std::size_t got = read(readMore, atEnd);
    // As for keywords: the first bytes of the stream, which under whole word starts with a space.
    const std::size_t head = std::min(got, ScanPlan::kKindProbeBytes - (m_wholeWord ? 1 : 0));
    m_kind = kindOfStreamHead(reinterpret_cast<const unsigned char*>(m_buffer.get()), head);
    result.kind = m_kind;
    if (m_skipBinary && m_kind == FileKind::Binary)
        return;
    m_wide.reset(m_kind);
    while (true) {
        if (m_unicodeAware && !m_wide.done()) {
            const auto* fresh = reinterpret_cast<const unsigned char*>(m_buffer.get() + (m_size - got));
            m_wide.feed(fresh, got, m_bufferStart + (m_size - got), m_wideHits);
        }
        bool piece = false;
        const std::size_t end = searchEnd(atEnd, piece);
        // A piece of a long line: matches that begin in its last kPieceOverlap bytes are left to the next.
        const std::size_t limit = piece ? end - kPieceOverlap : end;
        if (m_hits < m_maxKeys)
            searchLines(end, limit, result.hits);
        const bool wideDone = !m_unicodeAware || m_wide.done();
        if (atEnd || (m_hits >= m_maxKeys && wideDone) || cancelled())
            break;
        carry(limit);
        got = read(readMore, atEnd);
    }
    if (m_unicodeAware) {
        m_wide.finish(m_wideHits);
        mergeWideHits(result);
    }
}

// Fills the buffer from the file; a short read met its end.
std::size_t RegexScanner::read(const ReadFunction& readMore, bool& atEnd)
{
    const std::size_t room = kContextBytes + kPieceSize - m_size;
    const std::size_t got = readMore(reinterpret_cast<unsigned char*>(m_buffer.get() + m_size), room);
    m_size += got;
    atEnd = got < room;
    return got;
}

// Where this piece's matching ends: at the file's end, after the last line feed, or, when no line ends in
// a full buffer, before its last byte, which stays as the context after the piece (so $ does not match
// there and a word's end can be told). The bytes from `limit` on are matched again with the next piece.
std::size_t RegexScanner::searchEnd(bool atEnd, bool& piece) const
{
    if (atEnd)
        return m_size;
    const void* lastFeed = ::memrchr(m_buffer.get() + m_lineStart, '\n', m_size - m_lineStart);
    if (lastFeed)
        return static_cast<std::size_t>(static_cast<const char*>(lastFeed) - m_buffer.get()) + 1;
    piece = true;
    return m_size - 1;
}

// Matches text[.., to); a match must begin before `limit`.
void RegexScanner::searchLines(std::size_t to, std::size_t limit, std::vector<Hit>& hits)
{
    const std::string_view text(m_buffer.get(), m_size);
    std::size_t from = std::max<std::size_t>(
        m_lineStart, m_nextStart > m_bufferStart ? static_cast<std::size_t>(m_nextStart - m_bufferStart) : 0);
    // RE2 looks only at the lines that hold one of the literals every match holds.
    RegexPrefilter::LineFinder candidates(m_matcher.prefilter());
    std::size_t passed = from; // the lines before it hold no match
    while (m_hits < m_maxKeys) {
        const RegexPrefilter::LineFinder::Lines lines = candidates.next(text, std::max(from, passed), to);
        if (lines.begin >= to)
            break;
        const auto found = m_matcher.find(text, lines.begin, lines.end, m_bufferStart == 0);
        if (!found) {
            passed = lines.end;
            continue;
        }
        if (found->begin >= limit)
            break;
        // Under whole word the line count takes in the delimiter after the match, as a keyword's does.
        const uint64_t line
            = m_kind == FileKind::Text ? linesBefore(m_bufferStart + found->end + (m_wholeWord ? 1 : 0)) : 0;
        hits.push_back({ m_bufferStart + found->begin, line, static_cast<uint32_t>(found->end - found->begin), 0 });
        ++m_hits;
        from = m_matcher.resumeAfter(*found);
    }
    m_nextStart = m_bufferStart + std::max(from, limit);
}

// Drops the matched bytes but for a little context, keeping the line that goes on.
void RegexScanner::carry(std::size_t consumed)
{
    const std::size_t keepFrom = consumed > kContextBytes ? consumed - kContextBytes : 0;
    if (m_kind == FileKind::Text)
        linesBefore(m_bufferStart + keepFrom); // count the lines of the bytes about to go, while they are here
    std::memmove(m_buffer.get(), m_buffer.get() + keepFrom, m_size - keepFrom);
    m_bufferStart += keepFrom;
    m_size -= keepFrom;
    m_lineStart = consumed - keepFrom;
}

// Line feeds in the file before `fileOffset`, which never lies before the last offset asked for.
uint64_t RegexScanner::linesBefore(uint64_t fileOffset)
{
    if (fileOffset > m_linePos) {
        const auto* data = reinterpret_cast<const unsigned char*>(m_buffer.get() + (m_linePos - m_bufferStart));
        m_lines += countByte(data, static_cast<std::size_t>(fileOffset - m_linePos), '\n');
        m_linePos = fileOffset;
    }
    return m_lines;
}

// Both kinds of hits in file order (those of the lines first at equal offsets), the first maxKeys kept.
void RegexScanner::mergeWideHits(ScanResult& result)
{
    if (m_wideHits.empty())
        return;
    const auto byOffset = [](const Hit& a, const Hit& b) { return a.offset < b.offset; };
    std::stable_sort(m_wideHits.begin(), m_wideHits.end(), byOffset);
    std::vector<Hit> merged;
    merged.reserve(result.hits.size() + m_wideHits.size());
    std::merge(result.hits.begin(), result.hits.end(), m_wideHits.begin(), m_wideHits.end(), std::back_inserter(merged),
        byOffset);
    if (merged.size() > m_maxKeys)
        merged.resize(m_maxKeys);
    result.hits = std::move(merged);
}

} // namespace vellick
