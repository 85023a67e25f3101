#include "search/byte_probe.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#define VELLICK_X86 1
#endif

namespace vellick {

namespace {

std::size_t findScalar(const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    for (std::size_t s = from; s <= last; ++s) {
        if (probe.firstSet.contains(data[s + probe.first]) && probe.secondSet.contains(data[s + probe.second]))
            return s;
    }
    return last + 1;
}

uint64_t countScalar(const unsigned char* data, std::size_t size, unsigned char byte)
{
    return static_cast<uint64_t>(std::count(data, data + size, byte));
}

#ifdef VELLICK_X86
// Sets of fewer than three bytes repeat their first byte, so three compares always serve.
unsigned char setByte(const ByteSet& set, int index)
{
    return set.bytes[static_cast<std::size_t>(index < set.count ? index : 0)];
}

__attribute__((target("avx2"), always_inline)) inline __m256i splat32(const ByteSet& set, int index)
{
    return _mm256_set1_epi8(static_cast<char>(setByte(set, index)));
}

__attribute__((target("avx2"), always_inline)) inline __m256i inSet(__m256i v, __m256i a, __m256i b, __m256i c)
{
    return _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, a), _mm256_cmpeq_epi8(v, b)), _mm256_cmpeq_epi8(v, c));
}

__attribute__((target("avx2"))) std::size_t findAvx2(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    const __m256i a0 = splat32(probe.firstSet, 0), a1 = splat32(probe.firstSet, 1), a2 = splat32(probe.firstSet, 2);
    const __m256i b0 = splat32(probe.secondSet, 0), b1 = splat32(probe.secondSet, 1);
    const __m256i b2 = splat32(probe.secondSet, 2);
    std::size_t s = from;
    for (; s + 31 <= last; s += 32) {
        const auto* p1 = reinterpret_cast<const __m256i*>(data + s + probe.first);
        const auto* p2 = reinterpret_cast<const __m256i*>(data + s + probe.second);
        const __m256i hit1 = inSet(_mm256_loadu_si256(p1), a0, a1, a2);
        const __m256i hit2 = inSet(_mm256_loadu_si256(p2), b0, b1, b2);
        const auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(hit1, hit2)));
        if (mask)
            return s + static_cast<std::size_t>(std::countr_zero(mask));
    }
    return s <= last ? findScalar(data, s, last, probe) : last + 1;
}

__attribute__((target("avx2"))) uint64_t countAvx2(const unsigned char* data, std::size_t size, unsigned char byte)
{
    const __m256i needle = _mm256_set1_epi8(static_cast<char>(byte));
    uint64_t total = 0;
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        total += static_cast<uint64_t>(
            std::popcount(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, needle)))));
    }
    return total + countScalar(data + i, size - i, byte);
}

std::size_t findSse2(const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    const auto splat = [](const ByteSet& set, int i) { return _mm_set1_epi8(static_cast<char>(setByte(set, i))); };
    const auto inSet16 = [](__m128i v, __m128i a, __m128i b, __m128i c) {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)), _mm_cmpeq_epi8(v, c));
    };
    const __m128i a0 = splat(probe.firstSet, 0), a1 = splat(probe.firstSet, 1), a2 = splat(probe.firstSet, 2);
    const __m128i b0 = splat(probe.secondSet, 0), b1 = splat(probe.secondSet, 1), b2 = splat(probe.secondSet, 2);
    std::size_t s = from;
    for (; s + 15 <= last; s += 16) {
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + probe.first));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + probe.second));
        const auto mask
            = static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(inSet16(v1, a0, a1, a2), inSet16(v2, b0, b1, b2))));
        if (mask)
            return s + static_cast<std::size_t>(std::countr_zero(mask));
    }
    return s <= last ? findScalar(data, s, last, probe) : last + 1;
}

bool hasAvx2()
{
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}
#endif

} // namespace

std::size_t findProbeCandidate(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    if (from > last)
        return last + 1;
#ifdef VELLICK_X86
    return hasAvx2() ? findAvx2(data, from, last, probe) : findSse2(data, from, last, probe);
#else
    return findScalar(data, from, last, probe);
#endif
}

uint64_t countByte(const unsigned char* data, std::size_t size, unsigned char byte)
{
#ifdef VELLICK_X86
    if (hasAvx2())
        return countAvx2(data, size, byte);
#endif
    return countScalar(data, size, byte);
}

} // namespace vellick
