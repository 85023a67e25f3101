#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellick::test {

struct ReferenceHit {
    uint64_t offset = 0;
    uint64_t line = 0;
    uint32_t length = 0;
    uint32_t pattern = 0;

    bool operator==(const ReferenceHit&) const = default;
};

struct ReferenceScan {
    bool opened = false;
    bool found = false;
    int kind = 0; // 1 text, 2 binary; 0 when the file was not opened
    std::vector<ReferenceHit> hits; // meaningful when found
};

// A literal, byte by byte model of the two file scanners: one pattern position and matched count per
// pattern, a move back after a failed partial match, the read buffer of a carry area plus 51200 bytes
// filled by 51200-byte reads, and each scanner's own carry, continue and hit-limit rules. It is slow and
// simple on purpose: the production scanners are checked against it. The file is given in memory; the
// reads are simulated. The multi-pattern scanner's carry area holds max(3200, longest pattern) bytes.
class ReferenceScanner {
public:
    static constexpr std::size_t kReadSize = 51200;
    static constexpr std::size_t kCarrySize = 3200;

    // `flags` are the search's option flags (IgnoreCase, WholeWord, ...); `maxKeys` the per-file hit limit.
    ReferenceScanner(std::vector<std::string> patterns, uint32_t flags, int maxKeys);

    ReferenceScan scan(std::string_view file);

private:
    struct PatternState {
        std::size_t n = 0; // bytes matched so far, also the position in the pattern
        std::size_t pos = 0; // buffer index of the next byte to examine
        uint64_t lines = 0;
        int hits = 0;
    };

    std::size_t readInto(std::size_t bufferIndex, std::size_t count);
    std::size_t readFirstBuffer();
    int fileKind(std::size_t firstBufferSize) const;
    bool byteMatches(unsigned char s, unsigned char p) const;
    bool isSkipped(unsigned char s) const;
    bool examineByte(PatternState& state, const std::string& pattern);
    void recordHit(const PatternState& state, std::size_t patternIndex);
    uint64_t streamPosition(std::size_t bufferIndex) const;

    ReferenceScan scanSingle();
    ReferenceScan scanMulti();
    bool scanPatternOverBuffer(std::size_t patternIndex, std::size_t end, int& totalHits);
    bool allWordsHit() const;

    std::vector<std::string> m_patterns;
    uint32_t m_flags;
    int m_maxKeys;
    bool m_multi;
    std::size_t m_carry; // size of the carry area in front of the read area
    std::vector<unsigned char> m_buffer;
    std::string_view m_file;
    std::size_t m_fileReadPos = 0;
    uint64_t m_readAreaStream = 0; // stream position of the read area's first byte
    bool m_textFile = true;
    std::vector<PatternState> m_states;
    ReferenceScan m_result;
};

} // namespace vellick::test
