// Records found inside documents and archives: the names the list shows, and the surrounding text the loader
// extracts again (refused once the container changed).
#include "documents/test_archives.h"
#include "results/cline.h"
#include "results/extracted_text.h"
#include "support/cline_fields.h"
#include "support/recording_sink.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

using test::RecordingSink;
using test::TempTree;
using test::testHit;
using namespace vellick::test;

const std::string kSep(kMemberSeparator);

TEST(InsideRecordsTest, NamesFoldersAndShownPaths)
{
    struct Case {
        ContainerKind kind;
        std::string member;
        std::string fileName;
        std::string folder;
        std::string shown;
    };
    const Case cases[] = {
        { ContainerKind::None, "", "a.zip", "/data", "/data/a.zip" },
        { ContainerKind::Pdf, "", "a.zip", "/data", "/data/a.zip" }, // a document is its file
        { ContainerKind::Archive, "docs/x.txt", "x.txt", "/data/a.zip" + kSep + "docs",
            "/data/a.zip" + kSep + "docs/x.txt" },
        { ContainerKind::Archive, "x.txt", "x.txt", "/data/a.zip \u203A", "/data/a.zip" + kSep + "x.txt" },
        { ContainerKind::Archive, "in.tar" + kSep + "d/e/y.txt", "y.txt",
            "/data/a.zip" + kSep + "in.tar" + kSep + "d/e", "/data/a.zip" + kSep + "in.tar" + kSep + "d/e/y.txt" },
        { ContainerKind::Archive, "in.tar" + kSep + "y.txt", "y.txt", "/data/a.zip" + kSep + "in.tar",
            "/data/a.zip" + kSep + "in.tar" + kSep + "y.txt" },
    };
    for (const Case& c : cases) {
        CLine line("/data/a.zip");
        line.setInside(c.kind, c.member, {}, false);
        EXPECT_EQ(line.fileName(), c.fileName) << c.member;
        EXPECT_EQ(line.folder(), c.folder) << c.member;
        EXPECT_EQ(line.shownPath(), c.shown) << c.member;
        EXPECT_EQ(line.isMember(), !c.member.empty()) << c.member;
    }
}

constexpr long long kSearchTime = 1000000000;

// A record of `member` inside the archive at `path` as the run makes it, with a hit at each `keyword`.
CLine memberRecord(const std::string& path, ContainerKind kind, const std::string& member, const std::string& content,
    const std::string& keyword)
{
    CLine line(path);
    line.setInside(kind, member, { 0, kSearchTime, 0 }, false);
    for (auto pos = content.find(keyword); pos != std::string::npos; pos = content.find(keyword, pos + 1)) {
        const auto lines = std::count(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(pos), '\n');
        line.appendHit(testHit(static_cast<uint64_t>(lines), pos, static_cast<uint32_t>(keyword.size()), 0));
    }
    return line;
}

TEST(InsideRecordsTest, LoaderShowsTheExtractedTextsLinesAndRefusesAChangedContainer)
{
    TempTree tree;
    const std::string inner = buildArchive(ArchiveFormat::Tar, { { "deep/n.txt", "nested key here\n" } });
    const std::string member = "first line\nsecond key line\nthird key\n";
    tree.write("box.zip", buildArchive(ArchiveFormat::Zip, { { "docs/m.txt", member }, { "in.tar", inner } }));
    tree.write("doc.odt",
        zipOf({ { "mimetype", "application/vnd.oasis.opendocument.text" },
            { "content.xml",
                "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
                "<text:p>odt first</text:p><text:p>odt key line</text:p></office:text></office:body>"
                "</office:document-content>" } }));
    tree.setModified("box.zip", kSearchTime);
    tree.setModified("doc.odt", kSearchTime);
    struct Case {
        std::string file;
        ContainerKind kind;
        std::string member;
        std::string text;
        std::vector<std::string> displayLines;
    };
    const Case cases[] = {
        { "box.zip", ContainerKind::Archive, "docs/m.txt", member,
            { "line    2: second key line", "line    3: third key" } },
        { "box.zip", ContainerKind::Archive, "in.tar" + kSep + "deep/n.txt", "nested key here\n",
            { "line    1:  key here" } }, // a first line begins at its first blank
        { "doc.odt", ContainerKind::OfficeDocument, "", "odt first\nodt key line\n", { "line    2: odt key line" } },
    };
    for (const Case& c : cases) {
        for (int round = 0; round < 2; ++round) { // the second load takes the kept text
            CLine line = memberRecord(tree.path(c.file), c.kind, c.member, c.text, "key");
            RecordingSink sink;
            ASSERT_TRUE(line.LoadContexts(sink)) << c.member;
            std::vector<std::string> shown;
            for (std::size_t i = 0; i < line.DisplayLineCount(); ++i)
                shown.push_back(line.BuildDisplayLine(i, true));
            EXPECT_EQ(shown, c.displayLines) << c.member << " round " << round;
            EXPECT_TRUE(sink.messages.empty());
        }
    }

    // The archive written again (its time moves) : the text is not the searched one any more.
    tree.setModified("box.zip", kSearchTime + 1);
    CLine changed = memberRecord(tree.path("box.zip"), ContainerKind::Archive, "docs/m.txt", member, "key");
    RecordingSink sink;
    EXPECT_FALSE(changed.LoadContexts(sink));
    EXPECT_EQ(changed.contextState(), ContextState::Refused);
    ASSERT_EQ(sink.messages.size(), 1U);
    EXPECT_NE(sink.messages[0].find("box.zip" + kSep + "docs/m.txt\" has been modified"), std::string::npos);

    // A member that is gone from an unchanged archive can never be shown: refused with one message.
    tree.setModified("box.zip", kSearchTime);
    forgetExtractedText();
    CLine gone = memberRecord(tree.path("box.zip"), ContainerKind::Archive, "docs/none.txt", member, "key");
    RecordingSink goneSink;
    EXPECT_FALSE(gone.LoadContexts(goneSink));
    EXPECT_EQ(goneSink.messages.size(), 1U);
}

} // namespace
} // namespace vellick
