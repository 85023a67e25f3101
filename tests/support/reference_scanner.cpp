#include "support/reference_scanner.h"

#include "search/search_options.h"

#include <algorithm>
#include <cstring>

namespace vellick::test {

namespace {

// The ASCII classes, spelled out here again so that the model shares no code with the scanners.
bool isCapital(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}
bool isAlphanumeric(unsigned char c)
{
    return isCapital(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}
bool isWhiteSpace(unsigned char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == ' ';
}
bool isPrintable(unsigned char c)
{
    return c >= 0x20 && c <= 0x7E;
}

} // namespace

ReferenceScanner::ReferenceScanner(std::vector<std::string> patterns, uint32_t flags, int maxKeys)
    : m_patterns(std::move(patterns))
    , m_flags(flags)
    , m_maxKeys(maxKeys)
    , m_multi(m_patterns.size() >= 2)
    , m_carry(kCarrySize)
{
    // A single pattern is at most 3199 bytes; only the wide form of a phrase outgrows the carry area.
    for (const std::string& pattern : m_patterns)
        m_carry = std::max(m_carry, pattern.size());
    m_buffer.resize(m_carry + kReadSize);
}

ReferenceScan ReferenceScanner::scan(std::string_view file)
{
    m_file = file;
    m_fileReadPos = 0;
    m_readAreaStream = 0;
    m_states.assign(std::max<std::size_t>(m_patterns.size(), 1), PatternState {});
    m_result = ReferenceScan {};
    return m_multi ? scanMulti() : scanSingle();
}

std::size_t ReferenceScanner::readInto(std::size_t bufferIndex, std::size_t count)
{
    const std::size_t n = std::min(count, m_file.size() - m_fileReadPos);
    if (n > 0)
        std::memcpy(&m_buffer[bufferIndex], m_file.data() + m_fileReadPos, n);
    m_fileReadPos += n;
    return n;
}

// Under whole word the stream starts with a space: the first read is that space and 51199 file bytes.
std::size_t ReferenceScanner::readFirstBuffer()
{
    if (!(m_flags & WholeWord))
        return readInto(m_carry, kReadSize);
    m_buffer[m_carry] = ' ';
    return 1 + readInto(m_carry + 1, kReadSize - 1);
}

int ReferenceScanner::fileKind(std::size_t firstBufferSize) const
{
    const std::size_t probe = std::min<std::size_t>(256, firstBufferSize);
    for (std::size_t i = 0; i < probe; ++i) {
        if (m_buffer[m_carry + i] >= 0x80)
            return 2;
    }
    return 1;
}

bool ReferenceScanner::byteMatches(unsigned char s, unsigned char p) const
{
    if (s == p || p == '?')
        return true;
    if (m_multi && p == 0xFF && s == 0)
        return true;
    if ((m_flags & IgnoreCase) && isCapital(s) && s + 32 == p)
        return true;
    if (p == ' ' && (m_flags & WholeWord) && !isAlphanumeric(s))
        return true;
    const bool blankRule = m_multi || (m_flags & WholePhrase);
    return p == ' ' && blankRule && (isWhiteSpace(s) || !isPrintable(s));
}

// The single-pattern scanner in a binary file, without whole word and phrase, passes over these bytes.
bool ReferenceScanner::isSkipped(unsigned char s) const
{
    if (m_multi || m_textFile || (m_flags & (WholeWord | WholePhrase)))
        return false;
    return !isPrintable(s) && !isWhiteSpace(s);
}

// One step of the matching: examines the byte at the state's position. True when a match is complete.
bool ReferenceScanner::examineByte(PatternState& state, const std::string& pattern)
{
    const unsigned char s = m_buffer[state.pos];
    if (m_textFile && s == '\n')
        ++state.lines;
    if (byteMatches(s, static_cast<unsigned char>(pattern[state.n]))) {
        ++state.pos;
        ++state.n;
        if (state.n < pattern.size())
            return false;
        state.n = 0;
        return true;
    }
    if (state.n == 0) {
        ++state.pos;
        return false;
    }
    // Back to the byte after the start of the failed attempt; its line feeds will be counted again.
    const std::size_t retry = state.pos - (state.n - 1);
    if (m_textFile) {
        for (std::size_t i = retry; i <= state.pos; ++i) {
            if (m_buffer[i] == '\n')
                --state.lines;
        }
    }
    state.pos = retry;
    state.n = 0;
    return false;
}

uint64_t ReferenceScanner::streamPosition(std::size_t bufferIndex) const
{
    if (bufferIndex >= m_carry)
        return m_readAreaStream + (bufferIndex - m_carry);
    return m_readAreaStream - (m_carry - bufferIndex);
}

// Called right after examineByte() completed a match: the state's position is one past its last byte.
void ReferenceScanner::recordHit(const PatternState& state, std::size_t patternIndex)
{
    const std::size_t length = m_patterns[patternIndex].size();
    ReferenceHit hit;
    hit.offset = streamPosition(state.pos - length);
    hit.line = m_textFile ? state.lines : 0;
    hit.length = static_cast<uint32_t>(length - ((m_flags & WholeWord) ? 2 : 0));
    hit.pattern = static_cast<uint32_t>(patternIndex);
    m_result.hits.push_back(hit);
    ++m_states[patternIndex].hits;
}

ReferenceScan ReferenceScanner::scanSingle()
{
    if (m_patterns.empty() || m_patterns[0].empty())
        return m_result; // not even opened
    const std::string& pattern = m_patterns[0];
    const std::size_t length = pattern.size();
    m_result.opened = true;
    std::size_t bytesRead = readFirstBuffer();
    m_result.kind = fileKind(bytesRead);
    m_textFile = m_result.kind == 1;
    PatternState& state = m_states[0];
    state.pos = m_carry;
    while (bytesRead >= length - state.n) {
        const std::size_t end = m_carry + bytesRead;
        while (state.pos < end) {
            if (isSkipped(m_buffer[state.pos])) {
                state.n = 0; // the partial match is abandoned, without moving back
                ++state.pos;
            } else if (examineByte(state, pattern)) {
                recordHit(state, 0);
                if (state.hits >= m_maxKeys) {
                    m_result.found = true;
                    return m_result;
                }
            }
        }
        if (state.n > 0)
            std::memmove(&m_buffer[m_carry - length], &m_buffer[end - length], length);
        state.pos = m_carry;
        m_readAreaStream += bytesRead;
        bytesRead = readInto(m_carry, kReadSize);
    }
    m_result.found = !m_result.hits.empty();
    return m_result;
}

// Scans the rest of the buffer with one pattern; true when the file's hit limit is reached.
bool ReferenceScanner::scanPatternOverBuffer(std::size_t patternIndex, std::size_t end, int& totalHits)
{
    const std::string& pattern = m_patterns[patternIndex];
    PatternState& state = m_states[patternIndex];
    const bool allWords = m_flags & AllWords;
    const int fileLimit = allWords ? m_maxKeys * static_cast<int>(m_patterns.size()) : m_maxKeys;
    if (pattern.empty())
        return false;
    while (state.pos < end) {
        if (!examineByte(state, pattern))
            continue;
        recordHit(state, patternIndex);
        ++totalHits;
        if (totalHits >= fileLimit)
            return true;
        if (allWords && state.hits >= m_maxKeys)
            return false; // this pattern is scanned no more
    }
    return false;
}

ReferenceScan ReferenceScanner::scanMulti()
{
    m_result.opened = true;
    std::size_t bytesRead = readFirstBuffer();
    m_result.kind = fileKind(bytesRead);
    m_textFile = m_result.kind == 1;
    for (PatternState& state : m_states)
        state.pos = m_carry;
    int totalHits = 0;
    bool limitReached = false;
    while (bytesRead > 0 && !limitReached) {
        const std::size_t end = m_carry + bytesRead;
        for (std::size_t i = 0; i < m_patterns.size() && !limitReached; ++i) {
            if ((m_flags & AllWords) && m_states[i].hits >= m_maxKeys)
                continue;
            limitReached = scanPatternOverBuffer(i, end, totalHits);
        }
        const std::size_t keep = std::min(m_carry, bytesRead);
        std::memmove(&m_buffer[m_carry - keep], &m_buffer[end - keep], keep);
        for (PatternState& state : m_states)
            state.pos = m_carry;
        m_readAreaStream += bytesRead;
        bytesRead = readInto(m_carry, kReadSize);
    }
    if (m_result.hits.empty() || ((m_flags & AllWords) && !allWordsHit()))
        return m_result;
    m_result.found = true;
    std::stable_sort(m_result.hits.begin(), m_result.hits.end(),
        [](const ReferenceHit& a, const ReferenceHit& b) { return a.offset < b.offset; });
    return m_result;
}

bool ReferenceScanner::allWordsHit() const
{
    const bool unicode = m_flags & UnicodeAware;
    const std::size_t words = unicode ? m_patterns.size() / 2 : m_patterns.size();
    for (std::size_t i = 0; i < words; ++i) {
        const bool wideHit = unicode && m_states[words + i].hits > 0;
        if (m_states[i].hits == 0 && !wideHit)
            return false;
    }
    return true;
}

} // namespace vellick::test
