#include "results/cline.h"
#include "support/cline_fields.h"

#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

CLine lineWithHits()
{
    CLine line("/data/file.txt");
    line.appendHit(testHit(3, 40, 5, 1));
    line.appendHit(testHit(1, 10, 2, 0));
    line.appendHit(testHit(2, 10, 3, 2));
    line.appendHit(testHit(0, 5, 4, 1));
    return line;
}

} // namespace

TEST(CLine, AppendedHitsKeepTheirValuesTogether)
{
    const CLine line = lineWithHits();
    ASSERT_EQ(line.hitCount(), 4u);
    EXPECT_EQ(hitOffsets(line), (std::vector<uint64_t> { 40, 10, 10, 5 }));
    EXPECT_EQ(hitLines(line), (std::vector<uint64_t> { 3, 1, 2, 0 }));
    EXPECT_EQ(hitLengths(line), (std::vector<uint32_t> { 5, 2, 3, 4 }));
    EXPECT_EQ(hitValues(line, &HitEntry::keyword), (std::vector<uint8_t> { 1, 0, 2, 1 }));
    EXPECT_EQ(hitValues(line, &HitEntry::context), (std::vector<std::string>(4)));
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
}

TEST(CLine, ClearingHitsEmptiesEverythingAndForgetsContexts)
{
    CLine line = lineWithHits();
    line.setContexts({ { "a", 0 }, { "b", 0 }, { "c", 0 }, { "d", 0 } });
    EXPECT_EQ(line.contextState(), ContextState::Loaded);
    line.clearHits();
    EXPECT_EQ(line.hitCount(), 0u);
    EXPECT_TRUE(line.hits().empty());
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
}

TEST(CLine, ContextsAreSetAndDroppedOnlyWhenLoaded)
{
    CLine line = lineWithHits();
    line.dropContexts(); // not loaded: nothing happens
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
    line.setContexts({ { "a", 1 }, { "b", 2 }, { "c", 3 } }); // fewer texts than hits: the rest are empty
    EXPECT_EQ(line.contextState(), ContextState::Loaded);
    EXPECT_EQ(hitValues(line, &HitEntry::context), (std::vector<std::string> { "a", "b", "c", "" }));
    EXPECT_EQ(hitValues(line, &HitEntry::contextPosition), (std::vector<uint16_t> { 1, 2, 3, 0 }));
    line.dropContexts();
    EXPECT_EQ(hitValues(line, &HitEntry::context), (std::vector<std::string>(4)));
    EXPECT_EQ(hitValues(line, &HitEntry::contextPosition), (std::vector<uint16_t> { 1, 2, 3, 0 })); // positions stay
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
}

TEST(CLine, KeywordsHitSet)
{
    CLine line = lineWithHits();
    line.appendHit(testHit(0, 50, 1, 99));
    line.appendHit(testHit(0, 51, 1, 150)); // beyond the 100 flags: ignored
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
