#pragma once

#include "search/scan_types.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vellick {

class MessageSink;

// A display line: the context of its first hit together with the following hits that end inside it.
struct DisplayLine {
    std::size_t firstHit = 0;
    std::size_t hitEnd = 0; // one past its last hit
};

// A run of keyword characters in a display line's context, [start, end), to be drawn in red.
struct KeywordSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

// One found file with its hits. Owned by CVellickDoc; views and reports hold its index or borrow it.
// The six per-hit arrays always have the same length; once a scan has ended the hits are in ascending
// order of offset.
class CLine {
public:
    enum ContextState : int32_t { ContextsNotLoaded = 0, ContextsLoaded = 1, ContextsRefused = 2 };

    explicit CLine(std::string filePath)
        : path(std::move(filePath))
    {
    }

    std::size_t hitCount() const { return hitOffsets.size(); }
    void clearHits();
    void appendHit(uint64_t line, uint64_t offset, uint32_t length, uint8_t patternNumber);
    void appendHit(const Hit& hit) { appendHit(hit.line, hit.offset, hit.length, hit.pattern); }
    // Stable: hits at equal offsets keep their order; all values of a hit move together.
    void orderHitsByOffset();
    // Flag k is set when a hit came from pattern k (k below 100).
    std::array<bool, 100> keywordsHit() const;
    void dropContexts();

    // Surrounding text, loaded on demand from the file (cline_contexts.cpp). True when the contexts are
    // loaded. A file that vanished or changed since the search is refused for good, with one message to
    // `messages`; a file that cannot be opened or now ends before a hit is tried again next time.
    bool LoadContexts(MessageSink& messages);

    // Display lines of loaded contexts (cline_display_lines.cpp); none while the contexts are not loaded.
    std::vector<DisplayLine> displayLines() const;
    std::size_t DisplayLineCount() const { return displayLines().size(); }
    // The text of display line n, below DisplayLineCount(): the line-number prefix when asked for, then
    // the context of its first hit.
    std::string BuildDisplayLine(std::size_t n, bool showLineNumbers) const;
    std::string displayLineText(const DisplayLine& line, bool showLineNumbers) const;
    // "line %4ld: " with the hit's line number in a text file, "%4lu: " with its offset in a binary file.
    std::string lineNumberPrefix(std::size_t hit) const;
    // The keyword characters of a display line in drawing order, overlaps merged, within its context.
    std::vector<KeywordSpan> keywordSpans(const DisplayLine& line) const;

    // The part after the last "/" (the whole path without one), and the part before it.
    std::string_view fileName() const;
    std::string_view folder() const;

    std::string path;
    std::string typeName;
    FileKind kind = FileKind::Text;
    int32_t contextState = ContextsNotLoaded;
    int64_t size = 0;
    int64_t modified = 0;
    int32_t modifiedNanoseconds = 0; // with `modified`, the time the hits were found at
    int32_t iconIndex = 0;
    int32_t checked = 0;
    std::vector<uint64_t> hitOffsets;
    std::vector<uint64_t> hitLines;
    std::vector<uint32_t> hitLengths;
    std::vector<std::string> contexts;
    std::vector<uint16_t> contextPositions;
    std::vector<uint8_t> hitKeywords;

private:
    // Gives up any texts read, refuses the contexts for good and shows the message once; false.
    bool refuseContexts(MessageSink& messages, const std::string& text);
};

} // namespace vellick
