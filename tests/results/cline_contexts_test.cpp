#include "results/cline.h"
#include "results/context_window.h"
#include "support/cline_fields.h"
#include "support/recording_sink.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace vellick {
namespace {

using test::RecordingSink;
using test::TempTree;
using test::testHit;

constexpr long long kSearchTime = 1000000000;

// A record as the search makes it: a hit at every occurrence of `keyword`, the file's time noted.
CLine recordOf(const TempTree& tree, const std::string& content, const std::string& keyword)
{
    tree.write("file.txt", content);
    tree.setModified("file.txt", kSearchTime);
    CLine line(tree.path("file.txt"));
    line.modified = kSearchTime;
    line.size = static_cast<int64_t>(content.size());
    for (auto pos = content.find(keyword); pos != std::string::npos;
         pos = content.find(keyword, pos + keyword.size())) {
        const auto end = content.begin() + static_cast<std::ptrdiff_t>(pos + keyword.size());
        line.appendHit(testHit(static_cast<uint64_t>(std::count(content.begin(), end, '\n')), pos,
            static_cast<uint32_t>(keyword.size()), 0));
    }
    return line;
}

TEST(CLineContextsTest, LoadsEachHitsLineAndGroupsHitsOfOneLine)
{
    TempTree tree;
    CLine line = recordOf(tree, "first key line\nsecond line with key and key\nthird\n", "key");
    RecordingSink sink;
    ASSERT_TRUE(line.LoadContexts(sink));
    EXPECT_EQ(line.contextState(), ContextState::Loaded);
    // In the file's first line the context starts at the first white space: the first word is left out.
    EXPECT_EQ(line.hit(0).context, " key line");
    EXPECT_EQ(line.hit(0).contextPosition, 1);
    // Every hit has its own context, also one that shares a display line.
    EXPECT_EQ(line.hit(1).context, "second line with key and key");
    EXPECT_EQ(line.hit(2).context, line.hit(1).context);
    EXPECT_EQ(line.hit(1).contextPosition, 17);
    EXPECT_EQ(line.hit(2).contextPosition, 25);
    ASSERT_EQ(line.DisplayLineCount(), 2u);
    EXPECT_EQ(line.BuildDisplayLine(0, true), "line    1:  key line");
    EXPECT_EQ(line.BuildDisplayLine(1, true), "line    2: second line with key and key");
    EXPECT_EQ(line.BuildDisplayLine(1, false), "second line with key and key");
    EXPECT_TRUE(sink.messages.empty());

    line.dropContexts();
    EXPECT_EQ(line.DisplayLineCount(), 0u);
    ASSERT_TRUE(line.LoadContexts(sink));
    EXPECT_EQ(line.hit(0).context, " key line");
}

TEST(CLineContextsTest, LongLineWindowStartsAtMost192BytesInFront)
{
    TempTree tree;
    RecordingSink sink;
    CLine noSpace = recordOf(tree, std::string(250, 'a') + "key", "key");
    ASSERT_TRUE(noSpace.LoadContexts(sink));
    EXPECT_EQ(noSpace.hit(0).context, std::string(192, 'a') + "key");
    EXPECT_EQ(noSpace.hit(0).contextPosition, 192);

    std::string content = std::string(250, 'a') + "key";
    content[100] = '\t';
    CLine withTab = recordOf(tree, content, "key");
    ASSERT_TRUE(withTab.LoadContexts(sink));
    EXPECT_EQ(withTab.hit(0).context, " " + std::string(149, 'a') + "key");
    EXPECT_EQ(withTab.hit(0).contextPosition, 150);
}

TEST(CLineContextsTest, ChangedOrVanishedFileIsRefusedWithOneMessage)
{
    TempTree tree;
    CLine touched = recordOf(tree, "some key here", "key");
    tree.setModified("file.txt", kSearchTime + 1);
    RecordingSink sink;
    EXPECT_FALSE(touched.LoadContexts(sink));
    EXPECT_FALSE(touched.LoadContexts(sink));
    EXPECT_EQ(touched.contextState(), ContextState::Refused);
    EXPECT_EQ(touched.DisplayLineCount(), 0u);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0],
        "File \"" + touched.path
            + "\" has been modified since last searching.\nSearch results can not be shown. You may search it "
              "again.");

    CLine deleted = recordOf(tree, "some key here", "key");
    std::filesystem::remove(deleted.path);
    sink.messages.clear();
    EXPECT_FALSE(deleted.LoadContexts(sink));
    EXPECT_FALSE(deleted.LoadContexts(sink));
    EXPECT_EQ(sink.messages, std::vector<std::string> { "Can not access file \"" + deleted.path + "\"." });
}

// Rewritten with the same size within the second of the search: the old hit offsets would point into the
// new text, so the change must be seen in the part of the second.
TEST(CLineContextsTest, ChangeWithinTheSecondOfTheSearchIsRefused)
{
    TempTree tree;
    CLine line = recordOf(tree, "some key here", "key");
    tree.setModified("file.txt", kSearchTime, 250'000'000);
    line.modifiedNanoseconds = 250'000'000;
    RecordingSink sink;
    ASSERT_TRUE(line.LoadContexts(sink));
    line.dropContexts();

    tree.write("file.txt", "some new text");
    tree.setModified("file.txt", kSearchTime, 750'000'000);
    EXPECT_FALSE(line.LoadContexts(sink));
    EXPECT_EQ(line.contextState(), ContextState::Refused);
    EXPECT_EQ(sink.messages,
        std::vector<std::string> { "File \"" + line.path
            + "\" has been modified since last searching.\nSearch results can not be shown. You may search it "
              "again." });
}

TEST(CLineContextsTest, FileCutShortBeforeAHitStaysUnloadedAndIsTriedAgain)
{
    TempTree tree;
    const std::string content = "key one\n" + std::string(500, 'b') + " key two\n";
    CLine line = recordOf(tree, content, "key");
    ASSERT_EQ(line.hitCount(), 2u);
    std::filesystem::resize_file(line.path, 300);
    tree.setModified("file.txt", kSearchTime);
    RecordingSink sink;
    EXPECT_FALSE(line.LoadContexts(sink));
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
    EXPECT_EQ(line.DisplayLineCount(), 0u);
    EXPECT_TRUE(sink.messages.empty());

    tree.write("file.txt", content);
    tree.setModified("file.txt", kSearchTime);
    EXPECT_TRUE(line.LoadContexts(sink));
    EXPECT_EQ(line.hit(1).context, " key two");
}

TEST(CLineContextsTest, HitCutOffByAShortenedFileEndsWithTheFile)
{
    TempTree tree;
    CLine line = recordOf(tree, "abc key", "key");
    std::filesystem::resize_file(line.path, 6);
    tree.setModified("file.txt", kSearchTime);
    RecordingSink sink;
    ASSERT_TRUE(line.LoadContexts(sink));
    EXPECT_EQ(line.hit(0).context, " ke");
    EXPECT_EQ(line.hit(0).contextPosition, 1);
    const std::vector<KeywordSpan> spans = line.keywordSpans(line.displayLines().at(0));
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].start, 1u);
    EXPECT_EQ(spans[0].end, 3u);
}

TEST(CLineContextsTest, SpecialFileInTheFilesPlaceIsNotRead)
{
    TempTree tree;
    CLine line = recordOf(tree, "some key here", "key");
    std::filesystem::remove(line.path);
    ASSERT_EQ(::mkfifo(line.path.c_str(), 0600), 0);
    tree.setModified("file.txt", kSearchTime);
    RecordingSink sink;
    EXPECT_FALSE(line.LoadContexts(sink)); // and does not block on the FIFO
    EXPECT_EQ(line.contextState(), ContextState::NotLoaded);
    EXPECT_TRUE(sink.messages.empty());
}

// Whatever the bytes and however close the hits (windows read again or reused), every context is a
// faithful copy of the file around its hit, within the limits.
TEST(CLineContextsTest, ContextsAreCopiesOfTheFileAroundEachHit)
{
    const std::string alphabet = std::string("ab   \t\n\r\x01\x80");
    std::mt19937 random(7);
    TempTree tree;
    RecordingSink sink;
    for (int round = 0; round < 50; ++round) {
        std::string content(1 + random() % 2000, ' ');
        for (char& c : content)
            c = alphabet[random() % alphabet.size()];
        CLine line = recordOf(tree, content, "\x7f"); // no hits; they are added below
        for (uint64_t offset = random() % 300; offset < content.size(); offset += 1 + random() % 250)
            line.appendHit(testHit(0, offset, 1 + random() % 8, 0));
        ASSERT_TRUE(line.LoadContexts(sink));
        for (std::size_t i = 0; i < line.hitCount(); ++i) {
            const std::string& text = line.hit(i).context;
            const uint64_t start = line.hit(i).offset - line.hit(i).contextPosition;
            EXPECT_LE(line.hit(i).contextPosition, std::min<uint64_t>(line.hit(i).offset, kContextLead));
            EXPECT_LE(text.size(), kContextWindowSize);
            EXPECT_GT(text.size(), line.hit(i).contextPosition);
            for (std::size_t k = 0; k < text.size(); ++k) {
                const auto byte = static_cast<unsigned char>(content[start + k]);
                ASSERT_EQ(text[k], byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : ' ')
                    << "round " << round << " hit " << i << " char " << k;
            }
        }
    }
}

} // namespace
} // namespace vellick
