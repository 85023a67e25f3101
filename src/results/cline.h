#pragma once

#include "search/scan_types.h"

#include <array>
#include <cstdint>
#include <span>
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

// Whether a record's surrounding texts are in memory.
enum class ContextState : uint8_t {
    NotLoaded, // not read yet, or dropped again
    Loaded,
    Refused, // the file vanished or changed since the search: never read again
};

// One hit of a record: where it is, which keyword, and once loaded the text around it.
struct HitEntry {
    uint64_t offset = 0; // stream position of the match's first byte
    uint64_t line = 0; // line feeds through the match's last byte in a text file; 0 in a binary file
    uint32_t length = 0;
    uint8_t keyword = 0; // number of the pattern in the keyword list
    uint16_t contextPosition = 0; // where the match begins in `context`
    std::string context; // the surrounding text while loaded
};

// The surrounding text of one hit, as the loader cuts it from the file.
struct HitText {
    std::string text;
    uint16_t position = 0;
};

// One found file with its hits. Owned by CVellickDoc; views and reports hold its index or borrow it.
// Each hit keeps all its values together, so they cannot get out of step; once a scan has ended the hits
// are in ascending order of offset.
class CLine {
public:
    explicit CLine(std::string filePath)
        : path(std::move(filePath))
    {
    }

    std::size_t hitCount() const { return m_hits.size(); }
    const HitEntry& hit(std::size_t index) const { return m_hits[index]; }
    std::span<const HitEntry> hits() const { return m_hits; }
    void clearHits();
    void appendHit(const Hit& hit);
    // Flag k is set when a hit came from pattern k (k below 100).
    std::array<bool, 100> keywordsHit() const;

    ContextState contextState() const { return m_contextState; }
    // Takes the surrounding text of every hit, in hit order, and counts them as loaded.
    void setContexts(std::vector<HitText> texts);
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
    int64_t size = 0;
    int64_t modified = 0;
    int32_t modifiedNanoseconds = 0; // with `modified`, the time the hits were found at
    int32_t iconIndex = 0;
    bool checked = false; // the row's check box
    bool hitLimitReached = false; // the scan stopped taking hits at the per-file hit limit

private:
    // Gives up any texts read, refuses the contexts for good and shows the message once; false.
    bool refuseContexts(MessageSink& messages, const std::string& text);

    std::vector<HitEntry> m_hits;
    ContextState m_contextState = ContextState::NotLoaded;
};

} // namespace vellick
