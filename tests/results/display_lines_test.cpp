#include "results/cline.h"
#include "support/cline_fields.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

struct SyntheticHit {
    uint64_t offset;
    uint32_t length;
    std::string context;
    uint16_t position;
    uint64_t line = 0;
};

// A record whose contexts count as loaded, without a file.
CLine loadedRecord(FileKind kind, const std::vector<SyntheticHit>& hits)
{
    CLine line("/tmp/x");
    line.kind = kind;
    std::vector<HitText> texts;
    for (const SyntheticHit& hit : hits) {
        line.appendHit(test::testHit(hit.line, hit.offset, hit.length, 0));
        texts.push_back({ hit.context, hit.position });
    }
    line.setContexts(std::move(texts));
    return line;
}

std::vector<std::pair<std::size_t, std::size_t>> grouping(const CLine& line)
{
    std::vector<std::pair<std::size_t, std::size_t>> result;
    for (const DisplayLine& displayLine : line.displayLines())
        result.emplace_back(displayLine.firstHit, displayLine.hitEnd);
    return result;
}

TEST(DisplayLinesTest, HitsEndingInsideTheFirstHitsContextShareItsLine)
{
    // Context of hit 0: 10 characters in front, 20 from the hit's start to the context's end.
    const std::string context(30, 'c');
    const CLine line = loadedRecord(FileKind::Text,
        {
            { 100, 3, context, 10 },
            { 110, 10, context, 20 }, // ends exactly at the context's end: same line
            { 111, 10, context, 21 }, // ends one past it: next line
            { 200, 3, context, 10 },
        });
    EXPECT_EQ(grouping(line), (std::vector<std::pair<std::size_t, std::size_t>> { { 0, 2 }, { 2, 3 }, { 3, 4 } }));
    EXPECT_EQ(line.DisplayLineCount(), 3u);
}

TEST(DisplayLinesTest, TestStopsAtTheFirstHitOutsideTheLine)
{
    const CLine line = loadedRecord(FileKind::Text,
        {
            { 100, 3, std::string(20, 'c'), 0 }, { 105, 30, std::string(40, 'c'), 0 }, // runs past hit 0's context
            { 110, 3, std::string(20, 'c'), 0 }, // would fit hit 0's context, but the test is over
        });
    EXPECT_EQ(grouping(line), (std::vector<std::pair<std::size_t, std::size_t>> { { 0, 1 }, { 1, 3 } }));
}

TEST(DisplayLinesTest, NoLinesUnlessLoaded)
{
    CLine line = loadedRecord(FileKind::Text, { { 0, 3, "key", 0 } });
    line.dropContexts();
    EXPECT_EQ(line.DisplayLineCount(), 0u);
    // The file "/tmp/x/" names nothing: loading refuses the contexts for good.
    line.path = "/tmp/x/";
    test::RecordingSink messages;
    EXPECT_FALSE(line.LoadContexts(messages));
    EXPECT_EQ(line.contextState(), ContextState::Refused);
    EXPECT_EQ(line.DisplayLineCount(), 0u);
    EXPECT_EQ(line.BuildDisplayLine(0, true), "");
}

TEST(DisplayLinesTest, LineNumberPrefixes)
{
    const CLine text = loadedRecord(
        FileKind::Text, { { 0, 3, "key", 0, 0 }, { 10, 3, "key", 0, 12344 }, { 20, 3, "key", 0, 4294967296ULL } });
    EXPECT_EQ(text.BuildDisplayLine(0, true), "line    1: key");
    EXPECT_EQ(text.BuildDisplayLine(1, true), "line 12345: key");
    EXPECT_EQ(text.BuildDisplayLine(2, true), "line 4294967297: key");
    EXPECT_EQ(text.BuildDisplayLine(2, false), "key");

    // Binary files show the hit's byte offset, 64-bit.
    const CLine binary = loadedRecord(FileKind::Binary, { { 42, 3, "key", 0 }, { 5000000000ULL, 3, "key", 0 } });
    EXPECT_EQ(binary.BuildDisplayLine(0, true), "  42: key");
    EXPECT_EQ(binary.BuildDisplayLine(1, true), "5000000000: key");
}

TEST(DisplayLinesTest, KeywordSpansMergeOverlapsAndStayInsideTheContext)
{
    //                 0123456789012345
    const std::string context = "say alphabet now";
    const CLine line = loadedRecord(FileKind::Text,
        {
            { 104, 5, context, 4 }, // alpha
            { 106, 2, context, 6 }, // ph: inside alpha, adds nothing
            { 108, 4, context, 8 }, // abet: overlaps alpha's end
            { 113, 3, context, 13 }, // now: after a gap
        });
    ASSERT_EQ(line.DisplayLineCount(), 1u);
    const std::vector<KeywordSpan> spans = line.keywordSpans(line.displayLines()[0]);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].start, 4u);
    EXPECT_EQ(spans[0].end, 12u);
    EXPECT_EQ(spans[1].start, 13u);
    EXPECT_EQ(spans[1].end, 16u);
}

} // namespace
} // namespace vellick
