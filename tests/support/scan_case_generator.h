#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vellick::test {

// Mixed: any byte values; TextOnly: no byte 0x80 or above; Sparse: filler bytes that match little, so
// that the planted matches decide which hits a hit limit keeps.
enum class FileStyle { Mixed, TextOnly, Sparse };

// One generated search request as Start would hand it to the run: a valid keyword text, the option
// flags derived from the panel's choices, and the per-file hit limit.
struct ScanRequest {
    std::string keywordText;
    uint32_t flags = 0;
    int maxKeys = 1024;
};

// Generates requests and file contents for the scanner comparison: small alphabets, so that partial
// matches, failed attempts and hits are frequent, and planted matches (case changed, "?" filled, spaces
// turned into other delimiters, wide forms, broken near-misses), some across the 51200-byte reads.
class ScanCaseGenerator {
public:
    static constexpr std::size_t kBlock = 51200;

    explicit ScanCaseGenerator(uint64_t seed);

    // `manyWords` allows the rare request of 40 to 110 words.
    ScanRequest request(bool manyWords);
    // Two or three words of which the second is a prefix of the first: hits at equal offsets.
    ScanRequest prefixRequest();
    // A phrase of about 3199 bytes that repeats one short word, so a failed attempt can fail late.
    ScanRequest longPhraseRequest();

    // Random bytes of the given size with matches of `patterns` planted. `boundaries` are the file
    // offsets where a read ends: plants straddle each of them.
    std::string file(const std::vector<std::string>& patterns, std::size_t size, FileStyle style,
        const std::vector<std::size_t>& boundaries = {});
    // Plants, across each boundary, one more repeated unit in front of a whole pattern: the attempt that
    // starts at the extra unit fails only near the pattern's end, after the read boundary, and must back up
    // over nearly the whole pattern. `unitLengths` gives each pattern's unit length.
    void plantLateFailures(std::string& data, const std::vector<std::string>& patterns,
        const std::vector<std::size_t>& unitLengths, const std::vector<std::size_t>& boundaries);

    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : static_cast<std::size_t>(m_random() % limit); }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    std::string word(const std::string& alphabet, std::size_t length);
    uint32_t flagsFor(const std::string& text, bool phrase);
    int maxKeys();
    std::string bytePool(const std::vector<std::string>& patterns, bool textOnly);
    std::string realize(const std::string& pattern, const std::string& pool, bool textOnly);
    std::size_t straddle(std::size_t length);
    void plant(std::string& data, const std::string& bytes, std::size_t at);

    std::mt19937_64 m_random;
};

// A printable, escaped form of bytes for failure messages.
std::string escapeBytes(const std::string& bytes, std::size_t limit = 120);

} // namespace vellick::test
