#include "results/cline.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

CLine lineWithHits()
{
    CLine line("/data/file.txt");
    line.appendHit(3, 40, 5, 1);
    line.appendHit(1, 10, 2, 0);
    line.appendHit(2, 10, 3, 2);
    line.appendHit(0, 5, 4, 1);
    return line;
}

} // namespace

TEST(CLine, AppendedHitsFillAllSixArrays)
{
    const CLine line = lineWithHits();
    EXPECT_EQ(line.hitCount(), 4u);
    EXPECT_EQ(line.contexts, (std::vector<std::string>(4)));
    EXPECT_EQ(line.contextPositions, (std::vector<uint16_t>(4, 0)));
    EXPECT_EQ(line.hitKeywords, (std::vector<uint8_t> { 1, 0, 2, 1 }));
}

TEST(CLine, OrderingByOffsetIsStableAndMovesWholeHits)
{
    CLine line = lineWithHits();
    line.contexts = { "d", "b", "c", "a" };
    line.orderHitsByOffset();
    EXPECT_EQ(line.hitOffsets, (std::vector<uint64_t> { 5, 10, 10, 40 }));
    EXPECT_EQ(line.hitLines, (std::vector<uint64_t> { 0, 1, 2, 3 }));
    EXPECT_EQ(line.hitLengths, (std::vector<uint32_t> { 4, 2, 3, 5 }));
    EXPECT_EQ(line.hitKeywords, (std::vector<uint8_t> { 1, 0, 2, 1 }));
    EXPECT_EQ(line.contexts, (std::vector<std::string> { "a", "b", "c", "d" }));
}

TEST(CLine, OffsetsBeyondFourGigabytesOrderCorrectly)
{
    CLine line("/big");
    line.appendHit(0, 5'000'000'000, 2, 0);
    line.appendHit(0, 100, 2, 1);
    line.orderHitsByOffset();
    EXPECT_EQ(line.hitOffsets, (std::vector<uint64_t> { 100, 5'000'000'000 }));
}

TEST(CLine, ClearingHitsEmptiesEverythingAndForgetsContexts)
{
    CLine line = lineWithHits();
    line.contextState = CLine::ContextsLoaded;
    line.clearHits();
    EXPECT_EQ(line.hitCount(), 0u);
    EXPECT_TRUE(line.hitLines.empty());
    EXPECT_TRUE(line.hitLengths.empty());
    EXPECT_TRUE(line.contexts.empty());
    EXPECT_TRUE(line.contextPositions.empty());
    EXPECT_TRUE(line.hitKeywords.empty());
    EXPECT_EQ(line.contextState, CLine::ContextsNotLoaded);
}

TEST(CLine, DroppingContextsOnlyWhenLoaded)
{
    CLine line = lineWithHits();
    line.contexts = { "a", "b", "c", "d" };
    line.contextPositions = { 1, 2, 3, 4 };
    line.contextState = CLine::ContextsRefused;
    line.dropContexts();
    EXPECT_EQ(line.contexts[0], "a");
    EXPECT_EQ(line.contextState, CLine::ContextsRefused);
    line.contextState = CLine::ContextsLoaded;
    line.dropContexts();
    EXPECT_EQ(line.contexts, (std::vector<std::string>(4)));
    EXPECT_EQ(line.contextPositions, (std::vector<uint16_t> { 1, 2, 3, 4 })); // positions stay
    EXPECT_EQ(line.contextState, CLine::ContextsNotLoaded);
}

TEST(CLine, KeywordsHitSet)
{
    CLine line = lineWithHits();
    line.appendHit(0, 50, 1, 99);
    line.appendHit(0, 51, 1, 150); // beyond the 100 flags: ignored
    const auto flags = line.keywordsHit();
    EXPECT_TRUE(flags[0] && flags[1] && flags[2] && flags[99]);
    EXPECT_FALSE(flags[3]);
}

TEST(CLine, NameAndFolderSplitAtTheLastSlash)
{
    EXPECT_EQ(CLine("/data/sub/file.txt").fileName(), "file.txt");
    EXPECT_EQ(CLine("/data/sub/file.txt").folder(), "/data/sub");
    EXPECT_EQ(CLine("/file.txt").folder(), ""); // a file directly in "/"
    EXPECT_EQ(CLine("loose").fileName(), "loose");
    EXPECT_EQ(CLine("loose").folder(), "loose");
}
