#pragma once

#include "search/scan_types.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vellick {

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

    // The part after the last "/" (the whole path without one), and the part before it.
    std::string_view fileName() const;
    std::string_view folder() const;

    std::string path;
    std::string typeName;
    FileKind kind = FileKind::Text;
    int32_t contextState = ContextsNotLoaded;
    int64_t size = 0;
    int64_t modified = 0;
    int32_t iconIndex = 0;
    int32_t checked = 0;
    std::vector<uint64_t> hitOffsets;
    std::vector<uint64_t> hitLines;
    std::vector<uint32_t> hitLengths;
    std::vector<std::string> contexts;
    std::vector<uint16_t> contextPositions;
    std::vector<uint8_t> hitKeywords;
};

} // namespace vellick
