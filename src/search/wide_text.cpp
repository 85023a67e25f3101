#include "search/wide_text.h"

#include "search/byte_probe.h"
#include "search/regex_matcher.h"

#include <algorithm>

namespace vellick {

namespace {

// Bytes a piece keeps of the one before it: the context of ^, $ and word boundaries at the piece's start.
constexpr std::size_t kContextChars = 16;

bool isWidePrefix(unsigned char c)
{
    return c == 0x00 || c == 0xFF;
}

} // namespace

WideText::WideText(const RegexMatcher& matcher, uint32_t maxKeys)
    : m_matcher(matcher)
    , m_maxKeys(maxKeys)
{
}

void WideText::reset(FileKind kind)
{
    m_kind = kind;
    for (Run& run : m_runs) {
        run.chars.clear();
        run = Run { std::move(run.chars) };
    }
    m_previous = 1;
    m_started = false;
    m_lines = 0;
}

void WideText::feed(const unsigned char* data, std::size_t size, uint64_t offset, std::vector<Hit>& hits)
{
    for (std::size_t i = 0; i < size; ++i, ++offset) {
        const unsigned char c = data[i];
        if (m_started) {
            Run& run = m_runs[(offset - 1) & 1];
            if (isWidePrefix(m_previous))
                append(run, c, offset, hits);
            else if (!run.chars.empty())
                match(run, run.chars.size(), run.chars.size(), hits);
        }
        m_started = true;
        m_previous = c;
        m_lines += c == '\n';
    }
}

void WideText::finish(std::vector<Hit>& hits)
{
    for (Run& run : m_runs)
        match(run, run.chars.size(), run.chars.size(), hits);
}

void WideText::append(Run& run, unsigned char c, uint64_t offset, std::vector<Hit>& hits)
{
    if (run.hits >= m_maxKeys)
        return;
    if (run.chars.empty()) {
        run.firstChar = offset;
        run.linesBefore = m_lines;
    }
    run.chars.push_back(static_cast<char>(c));
    if (run.chars.size() < kMaxRunChars)
        return;
    // A full piece: its end is matched again with the next piece, its last character is context only.
    const std::size_t limit = run.chars.size() - kPieceOverlap;
    match(run, run.chars.size() - 1, limit, hits);
    dropFront(run, limit - kContextChars);
}

// Matches chars[next, to), taking matches that begin before `limit`; when `to` is the run's end the run
// is over and is emptied.
void WideText::match(Run& run, std::size_t to, std::size_t limit, std::vector<Hit>& hits)
{
    const std::string_view text(run.chars);
    const bool ww = m_matcher.wholeWord();
    while (run.hits < m_maxKeys) {
        const auto found = m_matcher.find(text, run.next, to, false);
        if (!found || found->begin >= limit)
            break;
        const std::size_t first = ww ? found->begin - 1 : found->begin; // the delimiter under whole word
        const std::size_t last = ww ? found->end : found->end - 1;
        const uint64_t line = m_kind == FileKind::Text ? lineThrough(run, last) : 0;
        hits.push_back({ run.firstChar + 2 * first - (ww ? 0 : 1), line,
            static_cast<uint32_t>(2 * (last - first + 1) - (ww ? 2 : 0)), 0 });
        ++run.hits;
        run.next = m_matcher.resumeAfter(*found);
    }
    run.next = std::max(run.next, limit);
    if (to == run.chars.size()) {
        run.chars.clear();
        run.next = 0;
        run.countedTo = 0;
        run.countedLines = 0;
    }
}

void WideText::dropFront(Run& run, std::size_t count)
{
    run.linesBefore += countByte(reinterpret_cast<const unsigned char*>(run.chars.data()), count, '\n');
    run.firstChar += 2 * count;
    run.chars.erase(0, count);
    run.next -= count;
    run.countedTo = 0;
    run.countedLines = 0;
}

// Line feeds in the file up to and including chars[index]: the zero bytes between the characters are none.
uint64_t WideText::lineThrough(Run& run, std::size_t index)
{
    const auto* chars = reinterpret_cast<const unsigned char*>(run.chars.data());
    run.countedLines += countByte(chars + run.countedTo, index + 1 - run.countedTo, '\n');
    run.countedTo = index + 1;
    return run.linesBefore + run.countedLines;
}

} // namespace vellick
