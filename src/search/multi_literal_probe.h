#pragma once

#include "search/byte_probe.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellick {

// The set of stream bytes one pattern position matches, 256 bits (bit c of word c / 64).
using ByteBits = std::array<uint64_t, 4>;

// Looks for the places where any of several literals may occur, in one pass over the data. Each literal
// is given as the byte sets of a few of its positions (one to three, the same count for all), which lie
// the same distances apart in every literal; a candidate is a position p where data[p + distance j] is in
// set j of some literal, for every j. The literals are
// spread over eight buckets, and the probe tells which buckets may match at p: the vector levels test
// the low and high half of each byte separately (16 or 32 positions per step), so they may name more
// buckets than match, never fewer. Candidates are to be verified with the literals' own match rules.
class MultiLiteralProbe {
public:
    static constexpr std::size_t kBuckets = 8;
    static constexpr std::size_t kMaxWidth = 3;

    struct Candidate {
        std::size_t position;
        uint8_t buckets; // bit b: a literal of bucket b may match here
    };

    // Every literal has one set per distance; 1 to kMaxWidth increasing distances, the first 0.
    MultiLiteralProbe(const std::vector<std::vector<ByteBits>>& literals, const std::vector<std::size_t>& distances);

    std::size_t width() const { return m_width; }
    // How far past a candidate position the probe reads: the last distance.
    std::size_t reach() const { return m_distances[m_width - 1]; }
    // The indexes of the literals in a bucket, in the order they were given.
    const std::vector<uint32_t>& bucket(std::size_t index) const { return m_buckets[index]; }

    // Fills `out` (up to `capacity`, at least 64) with the candidates among positions [from, last] in
    // increasing order, and returns the position to go on from (last + 1 when the range is done). Reads
    // data[from] through data[last + reach()] only.
    std::size_t collect(const unsigned char* data, std::size_t from, std::size_t last, Candidate* out,
        std::size_t capacity, std::size_t& count, ProbeLevel level = ProbeLevel::Best) const;

private:
    std::size_t collectScalar(const unsigned char* data, std::size_t from, std::size_t last, Candidate* out,
        std::size_t capacity, std::size_t& count) const;
    std::size_t collectSsse3(const unsigned char* data, std::size_t from, std::size_t last, Candidate* out,
        std::size_t capacity, std::size_t& count) const;
    std::size_t collectAvx2(const unsigned char* data, std::size_t from, std::size_t last, Candidate* out,
        std::size_t capacity, std::size_t& count) const;

    std::size_t m_width = 1;
    std::array<std::size_t, kMaxWidth> m_distances {};
    std::array<std::vector<uint32_t>, kBuckets> m_buckets;
    // Per probed position: the buckets with a set that holds a byte, and the buckets of a byte's low and
    // high four bits (what the vector levels test).
    std::array<std::array<uint8_t, 256>, kMaxWidth> m_exact {};
    alignas(16) std::array<std::array<uint8_t, 16>, kMaxWidth> m_low {};
    alignas(16) std::array<std::array<uint8_t, 16>, kMaxWidth> m_high {};
};

} // namespace vellick
