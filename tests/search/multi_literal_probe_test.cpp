#include "search/multi_literal_probe.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace vellick;

namespace {

const std::vector<unsigned char> kAlphabet { 'a', 'A', 'b', 'q', 'Q', 0x00, 0xFF, ' ', '\n', 0x80, '_', 0x1F, 0xF1 };

// One to three bytes of the alphabet, now and then every byte (a "?" or a delimiter class).
ByteBits randomSet(std::mt19937& random)
{
    ByteBits bits {};
    if (random() % 10 == 0)
        return { ~uint64_t { 0 }, ~uint64_t { 0 }, ~uint64_t { 0 }, ~uint64_t { 0 } };
    for (unsigned n = 1 + random() % 3; n > 0; --n) {
        const unsigned char c = kAlphabet[random() % kAlphabet.size()];
        bits[c >> 6] |= uint64_t { 1 } << (c & 63);
    }
    return bits;
}

bool inSet(const ByteBits& bits, unsigned char c)
{
    return (bits[c >> 6] >> (c & 63)) & 1;
}

std::vector<MultiLiteralProbe::Candidate> collectAll(const MultiLiteralProbe& probe,
    const std::vector<unsigned char>& data, std::size_t from, std::size_t last, ProbeLevel level)
{
    std::vector<MultiLiteralProbe::Candidate> all;
    std::vector<MultiLiteralProbe::Candidate> batch(64); // the smallest capacity, so batches resume often
    for (std::size_t position = from; position <= last;) {
        std::size_t count = 0;
        position = probe.collect(data.data(), position, last, batch.data(), batch.size(), count, level);
        all.insert(all.end(), batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(count));
    }
    return all;
}

} // namespace

// Against a naive search on generated inputs, at every instruction level: every position where a literal's
// sets all hold is reported with that literal's bucket, positions come in order inside the range, and the
// scalar level (exact sets) reports nothing else while each bucket holds one literal. The vector levels may
// name extra buckets, never miss one.
TEST(MultiLiteralProbe, FindsEveryPlaceANaiveSearchFinds)
{
    std::mt19937 random(77);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t width = 1 + random() % MultiLiteralProbe::kMaxWidth;
        std::vector<std::size_t> distances { 0 };
        while (distances.size() < width)
            distances.push_back(distances.back() + 1 + random() % 5);
        std::vector<std::vector<ByteBits>> literals(1 + random() % 20);
        for (auto& sets : literals) {
            for (std::size_t j = 0; j < width; ++j)
                sets.push_back(randomSet(random));
        }
        const MultiLiteralProbe probe(literals, distances);
        std::vector<unsigned char> data(distances.back() + 1 + random() % 300);
        for (unsigned char& c : data)
            c = kAlphabet[random() % kAlphabet.size()];
        const std::size_t last = data.size() - 1 - distances.back();
        const std::size_t from = random() % (last + 1);

        std::vector<MultiLiteralProbe::Candidate> expected;
        for (std::size_t p = from; p <= last; ++p) {
            uint8_t buckets = 0;
            for (std::size_t i = 0; i < literals.size(); ++i) {
                bool all = true;
                for (std::size_t j = 0; j < width; ++j)
                    all = all && inSet(literals[i][j], data[p + distances[j]]);
                if (all)
                    buckets |= static_cast<uint8_t>(1u << (i % MultiLiteralProbe::kBuckets));
            }
            if (buckets)
                expected.push_back({ p, buckets });
        }
        for (const ProbeLevel level : { ProbeLevel::Scalar, ProbeLevel::Ssse3, ProbeLevel::Best }) {
            const auto found = collectAll(probe, data, from, last, level);
            std::size_t k = 0;
            for (std::size_t f = 0; f < found.size(); ++f) {
                ASSERT_TRUE(found[f].position >= from && found[f].position <= last) << round;
                ASSERT_TRUE(f == 0 || found[f - 1].position < found[f].position) << round;
                if (k < expected.size() && expected[k].position == found[f].position) {
                    ASSERT_EQ(found[f].buckets & expected[k].buckets, expected[k].buckets) << round;
                    ++k;
                } else {
                    const bool bucketsExact = literals.size() <= MultiLiteralProbe::kBuckets;
                    ASSERT_FALSE(level == ProbeLevel::Scalar && bucketsExact)
                        << round << " reported a place that cannot match";
                }
            }
            ASSERT_EQ(k, expected.size()) << round << " missed a place at level " << static_cast<int>(level);
        }
    }
}

// Literals are spread over the buckets in order, so a candidate's bucket names the literals to verify.
TEST(MultiLiteralProbe, BucketsListTheirLiterals)
{
    const ByteBits a { 0, uint64_t { 1 } << ('a' - 64), 0, 0 };
    const std::vector<std::vector<ByteBits>> literals(11, std::vector<ByteBits> { a });
    const MultiLiteralProbe probe(literals, { 0 });
    EXPECT_EQ(probe.bucket(0), (std::vector<uint32_t> { 0, 8 }));
    EXPECT_EQ(probe.bucket(2), (std::vector<uint32_t> { 2, 10 }));
    EXPECT_EQ(probe.bucket(7), (std::vector<uint32_t> { 7 }));
}
