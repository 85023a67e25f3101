#include "search/byte_probe.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace vellick;

namespace {

ByteSet randomSet(std::mt19937& random, const std::vector<unsigned char>& alphabet)
{
    ByteSet set;
    set.count = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < set.count; ++i)
        set.bytes[static_cast<std::size_t>(i)] = alphabet[random() % alphabet.size()];
    set.prepare();
    return set;
}

} // namespace

// Every instruction level must find the same first candidate, also near the ends of the range where the
// vector loops hand over to the scalar tail, and with sets of letter pairs that take the mask test.
TEST(BytePairProbe, EveryLevelFindsTheSameCandidate)
{
    std::mt19937 random(1234);
    const std::vector<unsigned char> alphabet { 'a', 'A', 'b', 'B', 0x00, 0xFF, ' ', '\n', 0x80, '_' };
    for (int round = 0; round < 20000; ++round) {
        std::vector<unsigned char> data(1 + random() % 200);
        for (unsigned char& c : data)
            c = alphabet[random() % alphabet.size()];
        BytePairProbe probe;
        probe.first = random() % 4;
        probe.second = random() % 4;
        probe.firstSet = randomSet(random, alphabet);
        probe.secondSet = randomSet(random, alphabet);
        const std::size_t reach = std::max(probe.first, probe.second);
        if (data.size() <= reach)
            continue;
        const std::size_t last = data.size() - 1 - reach;
        const std::size_t from = random() % (last + 2);
        const std::size_t scalar = findProbeCandidate(data.data(), from, last, probe, ProbeLevel::Scalar);
        ASSERT_EQ(findProbeCandidate(data.data(), from, last, probe, ProbeLevel::Sse2), scalar) << round;
        ASSERT_EQ(findProbeCandidate(data.data(), from, last, probe, ProbeLevel::Best), scalar) << round;
    }
}

TEST(BytePairProbe, CountsEveryByteAcrossVectorBoundaries)
{
    std::vector<unsigned char> data(1000, 'x');
    for (std::size_t i = 0; i < data.size(); i += 7)
        data[i] = '\n';
    for (std::size_t size : { 0, 1, 31, 32, 33, 64, 999, 1000 }) {
        uint64_t expected = 0;
        for (std::size_t i = 0; i < size; ++i)
            expected += data[i] == '\n';
        EXPECT_EQ(countByte(data.data(), size, '\n'), expected) << size;
    }
}
