#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellick {

// A small set of byte values (one to three) that a pattern position can match.
struct ByteSet {
    std::array<unsigned char, 3> bytes {};
    int count = 0;

    // A set of one byte, or of two bytes that differ in one bit (a letter in both cases), can be tested
    // with one OR and one compare: c is in it exactly when (c | mask) == value. Set by prepare().
    bool maskable = false;
    unsigned char mask = 0;
    unsigned char value = 0;

    void prepare();

    bool contains(unsigned char c) const
    {
        return (count > 0 && c == bytes[0]) || (count > 1 && c == bytes[1]) || (count > 2 && c == bytes[2]);
    }
};

// Two pattern positions that every match must pass, used to find match candidates quickly: the first
// start s at which data[s + first] is in firstSet and data[s + second] is in secondSet.
struct BytePairProbe {
    std::size_t first = 0;
    ByteSet firstSet;
    std::size_t second = 0;
    ByteSet secondSet;
};

// The first s in [from, last] that passes the probe, or last + 1. Reads data[from + offset] through
// data[last + offset] for both offsets only. Uses the widest vector instructions the processor has.
std::size_t findProbeCandidate(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe);

// The same with a chosen instruction level; tests compare the levels (off x86-64 every level is scalar).
// Best is the widest the processor has; a level it lacks falls back on the next lower one.
enum class ProbeLevel { Scalar, Sse2, Ssse3, Best };
std::size_t findProbeCandidate(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe, ProbeLevel level);

// The number of bytes equal to `byte` in data[0, size).
uint64_t countByte(const unsigned char* data, std::size_t size, unsigned char byte);

} // namespace vellick
