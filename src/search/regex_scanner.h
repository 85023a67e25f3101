#pragma once

#include "search/scan_types.h"
#include "search/wide_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vellick {

class RegexMatcher;

// Scans one open file for a regular expression, line by line as grep does, with the hits kept as keyword
// hits are (offsets and lengths in file bytes, line counts through the hit, 0 in binary files; under whole
// word the delimiters count as they do for keywords). The file is read in pieces of kPieceSize bytes; the
// lines that end in a piece are matched together and a line that goes on is carried to the next piece. A
// line longer than a piece is matched in overlapping pieces, so memory stays bounded and each byte is
// matched at most twice; only a match longer than kPieceOverlap can be cut short there. Under "unicode aware" the
// 16-bit text is matched too and the hits of both are merged in file order; the first `maxKeys` hits are kept.
// FileScanner owns one per thread; one scan at a time.
class RegexScanner {
public:
    static constexpr std::size_t kPieceSize = std::size_t { 1 } << 20;
    // The end of a piece of a long line that is matched again with the next piece, so that only a match
    // longer than this can be cut short by a piece's edge.
    static constexpr std::size_t kPieceOverlap = std::size_t { 64 } << 10;

    // With `skipBinary` a file classed as binary is not matched after its first read.
    RegexScanner(const RegexMatcher& matcher, int maxKeys, uint32_t flags, bool skipBinary = false);

    // Reads the next bytes of the open file into `data`, up to `size`: fewer only at the end of the file
    // as it was when opened (or of the bound for files that report no size), none past it.
    using ReadFunction = std::function<std::size_t(unsigned char* data, std::size_t size)>;

    // Scans one open regular file, read by `read`, into `result` (its status and `opened` are the caller's).
    // Once `cancelled` says so the scan ends at its next read.
    void scan(const ReadFunction& read, const std::function<bool()>& cancelled, ScanResult& result);

private:
    std::size_t read(const ReadFunction& readMore, bool& atEnd);
    std::size_t searchEnd(bool atEnd, bool& piece) const;
    void searchLines(std::size_t to, std::size_t limit, std::vector<Hit>& hits);
    void carry(std::size_t consumed);
    uint64_t linesBefore(uint64_t fileOffset);
    void mergeWideHits(ScanResult& result);

    const RegexMatcher& m_matcher;
    const uint32_t m_maxKeys;
    const bool m_unicodeAware;
    const bool m_wholeWord;
    const bool m_skipBinary;
    std::unique_ptr<char[]> m_buffer;
    WideText m_wide;
    std::vector<Hit> m_wideHits;
    FileKind m_kind = FileKind::Text;
    uint64_t m_bufferStart = 0; // file offset of m_buffer[0]
    std::size_t m_size = 0; // bytes in the buffer: context, then the line being carried, then new bytes
    std::size_t m_lineStart = 0; // buffer index of the first byte not matched yet
    uint64_t m_nextStart = 0; // file offset where the next match may begin
    uint32_t m_hits = 0;
    uint64_t m_linePos = 0; // line feeds in the file before m_linePos ...
    uint64_t m_lines = 0; // ... are m_lines
};

} // namespace vellick
