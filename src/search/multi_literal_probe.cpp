#include "search/multi_literal_probe.h"

#include <algorithm>
#include <bit>
#include <cassert>

#if defined(__x86_64__)
#include <immintrin.h>
#define VELLICK_X86 1
#endif

namespace vellick {

namespace {

using Nibbles = std::array<uint8_t, 16>;

bool hasBit(const ByteBits& bits, unsigned c)
{
    return (bits[c >> 6] >> (c & 63)) & 1;
}

#ifdef VELLICK_X86
bool hasAvx2()
{
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}

bool hasSsse3()
{
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}

// The buckets that may match at each of the 16 positions of v, for one probe position.
__attribute__((target("ssse3"), always_inline)) inline __m128i buckets16(__m128i v, __m128i low, __m128i high)
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i lowHalves = _mm_and_si128(v, nibble);
    const __m128i highHalves = _mm_and_si128(_mm_srli_epi16(v, 4), nibble);
    return _mm_and_si128(_mm_shuffle_epi8(low, lowHalves), _mm_shuffle_epi8(high, highHalves));
}

__attribute__((target("avx2"), always_inline)) inline __m256i buckets32(__m256i v, __m256i low, __m256i high)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i lowHalves = _mm256_and_si256(v, nibble);
    const __m256i highHalves = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble);
    return _mm256_and_si256(_mm256_shuffle_epi8(low, lowHalves), _mm256_shuffle_epi8(high, highHalves));
}

// Appends the positions of a step whose bucket byte is not zero.
inline void appendCandidates(
    std::size_t start, uint32_t mask, const uint8_t* buckets, MultiLiteralProbe::Candidate* out, std::size_t& count)
{
    while (mask) {
        const auto lane = static_cast<std::size_t>(std::countr_zero(mask));
        out[count++] = { start + lane, buckets[lane] };
        mask &= mask - 1;
    }
}

template <std::size_t Width>
__attribute__((target("avx2"))) std::size_t collectAvx2With(const unsigned char* data, std::size_t from,
    std::size_t last, const Nibbles* lowTable, const Nibbles* highTable, const std::size_t* distances,
    MultiLiteralProbe::Candidate* out, std::size_t capacity, std::size_t& count)
{
    __m256i low[Width];
    __m256i high[Width];
    for (std::size_t j = 0; j < Width; ++j) {
        low[j] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTable[j].data())));
        high[j] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(highTable[j].data())));
    }
    alignas(32) uint8_t buckets[32];
    std::size_t s = from;
    for (; s + 31 <= last && count + 32 <= capacity; s += 32) {
        __m256i found = buckets32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + s)), low[0], high[0]);
        for (std::size_t j = 1; j < Width; ++j) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + s + distances[j]));
            found = _mm256_and_si256(found, buckets32(v, low[j], high[j]));
        }
        const auto none = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(found, _mm256_setzero_si256())));
        if (none != 0xFFFFFFFFu) {
            _mm256_store_si256(reinterpret_cast<__m256i*>(buckets), found);
            appendCandidates(s, ~none, buckets, out, count);
        }
    }
    return s;
}

template <std::size_t Width>
__attribute__((target("ssse3"))) std::size_t collectSsse3With(const unsigned char* data, std::size_t from,
    std::size_t last, const Nibbles* lowTable, const Nibbles* highTable, const std::size_t* distances,
    MultiLiteralProbe::Candidate* out, std::size_t capacity, std::size_t& count)
{
    __m128i low[Width];
    __m128i high[Width];
    for (std::size_t j = 0; j < Width; ++j) {
        low[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lowTable[j].data()));
        high[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(highTable[j].data()));
    }
    alignas(16) uint8_t buckets[16];
    std::size_t s = from;
    for (; s + 15 <= last && count + 16 <= capacity; s += 16) {
        __m128i found = buckets16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s)), low[0], high[0]);
        for (std::size_t j = 1; j < Width; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + distances[j]));
            found = _mm_and_si128(found, buckets16(v, low[j], high[j]));
        }
        const auto none = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(found, _mm_setzero_si128())));
        if (none != 0xFFFFu) {
            _mm_store_si128(reinterpret_cast<__m128i*>(buckets), found);
            appendCandidates(s, ~none & 0xFFFFu, buckets, out, count);
        }
    }
    return s;
}
#endif

} // namespace

MultiLiteralProbe::MultiLiteralProbe(
    const std::vector<std::vector<ByteBits>>& literals, const std::vector<std::size_t>& distances)
{
    assert(!literals.empty() && !distances.empty() && distances.size() <= kMaxWidth && distances[0] == 0);
    m_width = distances.size();
    std::copy(distances.begin(), distances.end(), m_distances.begin());
    for (std::size_t i = 0; i < literals.size(); ++i) {
        const std::size_t bucket = i % kBuckets;
        const auto bit = static_cast<uint8_t>(1u << bucket);
        m_buckets[bucket].push_back(static_cast<uint32_t>(i));
        for (std::size_t j = 0; j < m_width; ++j) {
            for (unsigned c = 0; c < 256; ++c) {
                if (!hasBit(literals[i][j], c))
                    continue;
                m_exact[j][c] |= bit;
                m_low[j][c & 15] |= bit;
                m_high[j][c >> 4] |= bit;
            }
        }
    }
}

std::size_t MultiLiteralProbe::collect(const unsigned char* data, std::size_t from, std::size_t last, Candidate* out,
    std::size_t capacity, std::size_t& count, ProbeLevel level) const
{
    count = 0;
    if (from > last)
        return last + 1;
    std::size_t s = from;
#ifdef VELLICK_X86
    if (level == ProbeLevel::Best && hasAvx2())
        s = collectAvx2(data, from, last, out, capacity, count);
    else if ((level == ProbeLevel::Best || level == ProbeLevel::Ssse3) && hasSsse3())
        s = collectSsse3(data, from, last, out, capacity, count);
#endif
    static_cast<void>(level);
    if (s > last || count + 32 > capacity)
        return s;
    return collectScalar(data, s, last, out, capacity, count);
}

// The tail of a range, or a whole range where no vector level serves: exact sets, one position a time.
std::size_t MultiLiteralProbe::collectScalar(const unsigned char* data, std::size_t from, std::size_t last,
    Candidate* out, std::size_t capacity, std::size_t& count) const
{
    for (std::size_t p = from; p <= last; ++p) {
        auto buckets = m_exact[0][data[p]];
        for (std::size_t j = 1; j < m_width && buckets; ++j)
            buckets &= m_exact[j][data[p + m_distances[j]]];
        if (!buckets)
            continue;
        out[count++] = { p, buckets };
        if (count == capacity)
            return p + 1;
    }
    return last + 1;
}

#ifdef VELLICK_X86
std::size_t MultiLiteralProbe::collectAvx2(const unsigned char* data, std::size_t from, std::size_t last,
    Candidate* out, std::size_t capacity, std::size_t& count) const
{
    const Nibbles* low = m_low.data();
    const Nibbles* high = m_high.data();
    if (m_width == 1)
        return collectAvx2With<1>(data, from, last, low, high, m_distances.data(), out, capacity, count);
    if (m_width == 2)
        return collectAvx2With<2>(data, from, last, low, high, m_distances.data(), out, capacity, count);
    return collectAvx2With<3>(data, from, last, low, high, m_distances.data(), out, capacity, count);
}

std::size_t MultiLiteralProbe::collectSsse3(const unsigned char* data, std::size_t from, std::size_t last,
    Candidate* out, std::size_t capacity, std::size_t& count) const
{
    const Nibbles* low = m_low.data();
    const Nibbles* high = m_high.data();
    if (m_width == 1)
        return collectSsse3With<1>(data, from, last, low, high, m_distances.data(), out, capacity, count);
    if (m_width == 2)
        return collectSsse3With<2>(data, from, last, low, high, m_distances.data(), out, capacity, count);
    return collectSsse3With<3>(data, from, last, low, high, m_distances.data(), out, capacity, count);
}
#else
std::size_t MultiLiteralProbe::collectAvx2(
    const unsigned char*, std::size_t from, std::size_t, Candidate*, std::size_t, std::size_t&) const
{
    return from;
}

std::size_t MultiLiteralProbe::collectSsse3(
    const unsigned char*, std::size_t from, std::size_t, Candidate*, std::size_t, std::size_t&) const
{
    return from;
}
#endif

} // namespace vellick
