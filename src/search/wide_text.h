#pragma once

#include "search/scan_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellick {

class RegexMatcher;

// The 16-bit text of one file as a regular-expression search sees it, and its hits. A character is a byte
// with a zero byte (or 0xFF, as for the keywords' wide forms) in front of it, which in little-endian UTF-16
// text is the high byte of the character before; a run is a stretch of such characters at every second
// byte, so two runs interleave. Each run is matched as a text of its own: its characters are the text's
// bytes, its start and end are line edges and no word boundary. Hits are placed as the keywords' wide forms
// place theirs: from the zero byte in front of the first character, two bytes per character; under whole
// word from the delimiter character in front, through the zero byte after the last character. A run
// longer than kMaxRunChars is matched in overlapping pieces of that size, as RegexScanner matches long lines.
// Used by RegexScanner, which feeds it the file's bytes in order; one object serves one file at a time.
class WideText {
public:
    static constexpr std::size_t kMaxRunChars = std::size_t { 1 } << 20;
    static constexpr std::size_t kPieceOverlap = std::size_t { 64 } << 10;

    WideText(const RegexMatcher& matcher, uint32_t maxKeys);

    void reset(FileKind kind);
    // The file's bytes in order, `size` of them from file offset `offset`; hits are appended to `hits`.
    void feed(const unsigned char* data, std::size_t size, uint64_t offset, std::vector<Hit>& hits);
    // The file ended: matches the runs still open.
    void finish(std::vector<Hit>& hits);
    // Both runs hold as many hits as one file may have, so later bytes cannot change the file's hits.
    bool done() const { return m_runs[0].hits >= m_maxKeys && m_runs[1].hits >= m_maxKeys; }

private:
    struct Run {
        std::string chars;
        uint64_t firstChar = 0; // file offset of chars[0]
        uint64_t linesBefore = 0; // line feeds in the file before chars[0]
        std::size_t next = 0; // where in chars the next match may begin
        std::size_t countedTo = 0; // line feeds in chars[0, countedTo) ...
        uint64_t countedLines = 0; // ... are countedLines
        uint32_t hits = 0;
    };

    void append(Run& run, unsigned char c, uint64_t offset, std::vector<Hit>& hits);
    void match(Run& run, std::size_t to, std::size_t limit, std::vector<Hit>& hits);
    void dropFront(Run& run, std::size_t count);
    uint64_t lineThrough(Run& run, std::size_t index);

    const RegexMatcher& m_matcher;
    uint32_t m_maxKeys;
    FileKind m_kind = FileKind::Text;
    Run m_runs[2]; // by the parity of the zero bytes' offsets
    unsigned char m_previous = 1;
    bool m_started = false;
    uint64_t m_lines = 0; // line feeds before the byte being fed
};

} // namespace vellick
