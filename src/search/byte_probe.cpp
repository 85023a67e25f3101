#include "search/byte_probe.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#define VELLICK_X86 1
#endif

namespace vellick {

void ByteSet::prepare()
{
    const auto difference = static_cast<unsigned char>(bytes[0] ^ bytes[1]);
    maskable = count == 1 || (count == 2 && std::has_single_bit(difference));
    mask = count == 1 ? 0 : difference;
    value = static_cast<unsigned char>(bytes[0] | mask);
}

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

// The bytes a vector's lanes are tested against: the mask and value of a mask test, or the set's bytes.
struct SetLanes32 {
    __m256i a, b, c;
};

__attribute__((target("avx2"), always_inline)) inline void fillSetLanes(const ByteSet& set, SetLanes32& lanes)
{
    lanes.a = _mm256_set1_epi8(static_cast<char>(set.maskable ? set.mask : setByte(set, 0)));
    lanes.b = _mm256_set1_epi8(static_cast<char>(set.maskable ? set.value : setByte(set, 1)));
    lanes.c = _mm256_set1_epi8(static_cast<char>(setByte(set, 2)));
}

template <bool Masked>
__attribute__((target("avx2"), always_inline)) inline __m256i inSet32(__m256i v, const SetLanes32& set)
{
    if constexpr (Masked)
        return _mm256_cmpeq_epi8(_mm256_or_si256(v, set.a), set.b);
    return _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(v, set.a), _mm256_cmpeq_epi8(v, set.b)), _mm256_cmpeq_epi8(v, set.c));
}

template <bool FirstMasked, bool SecondMasked>
__attribute__((target("avx2"))) std::size_t findAvx2With(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    SetLanes32 first;
    SetLanes32 second;
    fillSetLanes(probe.firstSet, first);
    fillSetLanes(probe.secondSet, second);
    std::size_t s = from;
    for (; s + 31 <= last; s += 32) {
        const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + s + probe.first));
        const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + s + probe.second));
        const __m256i both = _mm256_and_si256(inSet32<FirstMasked>(v1, first), inSet32<SecondMasked>(v2, second));
        const auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(both));
        if (mask)
            return s + static_cast<std::size_t>(std::countr_zero(mask));
    }
    if (s > last)
        return last + 1;
    if (last - from < 31)
        return findScalar(data, s, last, probe);
    // The last 32 starts, some of them tested already: their bits are dropped.
    const std::size_t tail = last - 31;
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + tail + probe.first));
    const __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + tail + probe.second));
    const __m256i both = _mm256_and_si256(inSet32<FirstMasked>(v1, first), inSet32<SecondMasked>(v2, second));
    const uint32_t mask = static_cast<uint32_t>(_mm256_movemask_epi8(both)) >> (s - tail);
    return mask ? s + static_cast<std::size_t>(std::countr_zero(mask)) : last + 1;
}

std::size_t findAvx2(const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    const bool firstMasked = probe.firstSet.maskable;
    const bool secondMasked = probe.secondSet.maskable;
    if (firstMasked && secondMasked)
        return findAvx2With<true, true>(data, from, last, probe);
    if (firstMasked)
        return findAvx2With<true, false>(data, from, last, probe);
    if (secondMasked)
        return findAvx2With<false, true>(data, from, last, probe);
    return findAvx2With<false, false>(data, from, last, probe);
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

// The SSE2 version every x86-64 processor has, for those without AVX2.
std::size_t findSse2(const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe)
{
    const auto splat = [](const ByteSet& set, int i) { return _mm_set1_epi8(static_cast<char>(setByte(set, i))); };
    const auto inSet = [](__m128i v, __m128i a, __m128i b, __m128i c) {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)), _mm_cmpeq_epi8(v, c));
    };
    const __m128i a0 = splat(probe.firstSet, 0), a1 = splat(probe.firstSet, 1), a2 = splat(probe.firstSet, 2);
    const __m128i b0 = splat(probe.secondSet, 0), b1 = splat(probe.secondSet, 1), b2 = splat(probe.secondSet, 2);
    std::size_t s = from;
    for (; s + 15 <= last; s += 16) {
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + probe.first));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + probe.second));
        const auto mask
            = static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(inSet(v1, a0, a1, a2), inSet(v2, b0, b1, b2))));
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
    return findProbeCandidate(data, from, last, probe, ProbeLevel::Best);
}

std::size_t findProbeCandidate(
    const unsigned char* data, std::size_t from, std::size_t last, const BytePairProbe& probe, ProbeLevel level)
{
    if (from > last)
        return last + 1;
#ifdef VELLICK_X86
    if (level == ProbeLevel::Best && hasAvx2())
        return findAvx2(data, from, last, probe);
    if (level != ProbeLevel::Scalar)
        return findSse2(data, from, last, probe);
#endif
    static_cast<void>(level);
    return findScalar(data, from, last, probe);
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
