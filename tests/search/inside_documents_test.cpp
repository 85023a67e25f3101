// Searching inside documents and archives: what the run reports for a document, for members of an archive and
// of an archive inside it, what it reports when the option is off, and that a member is matched by every match
// mode exactly as the same bytes in a file of their own.
#include "documents/test_archives.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

const std::string kWordDocument = zipOf({ { "[Content_Types].xml", "<Types/>" },
    { "word/document.xml",
        R"(<?xml version="1.0" encoding="UTF-8"?><w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)"
        "<w:p><w:r><w:t>first line</w:t></w:r></w:p><w:p><w:r><w:t>alpha in a document</w:t></w:r></w:p>"
        "</w:body></w:document>" } });

struct Row {
    std::string shown; // relative to the tree
    ContainerKind container;
    std::vector<uint64_t> offsets;
    std::vector<uint64_t> lines;
    int64_t size;
    int64_t modified;

    bool operator==(const Row&) const = default;
};

std::vector<Row> rowsOf(const TreeSearch& search, const std::string& root)
{
    std::vector<Row> rows;
    CVellickDoc& doc = const_cast<TreeSearch&>(search).doc();
    for (int row = 0; row < doc.rowCount(); ++row) {
        const CLine& line = doc.record(doc.recordAtRow(row));
        Row found { line.shownPath().substr(root.size() + 1), line.inside ? line.inside->kind : ContainerKind::None, {},
            {}, line.size, line.modified };
        for (const HitEntry& hit : line.hits()) {
            found.offsets.push_back(hit.offset);
            found.lines.push_back(hit.line);
        }
        rows.push_back(found);
    }
    return rows;
}

class InsideDocumentsTest : public testing::Test {
protected:
    InsideDocumentsTest()
    {
        m_tree.write("a_notes.txt", "alpha plain\n");
        const std::string inner = buildArchive(ArchiveFormat::Tar, { { "deep/c.txt", "x\nx alpha", {}, 1500000000 } });
        m_tree.write("b_box.zip",
            buildArchive(ArchiveFormat::Zip,
                { { "docs/a.txt", "one\nalpha two\n", {}, 1600000000 }, { "b.txt", "nothing here" },
                    { "top.txt", "alpha" }, { "inner.tar", inner } }));
        m_tree.write("c_report.docx", kWordDocument);
        m_tree.write("d_after.txt", "alpha\n");
    }

    PanelInput panel(bool documents) const
    {
        PanelInput input = TreeSearch::panel(m_tree.root(), "alpha");
        input.scope.documents = documents;
        return input;
    }

    TempTree m_tree;
};

TEST_F(InsideDocumentsTest, RowsOfDocumentsAndMembersInWalkOrderAndNothingInsideWhenOff)
{
    const int64_t docTime = 1700000000;
    m_tree.setModified("c_report.docx", docTime);
    const auto docSize = static_cast<int64_t>(kWordDocument.size());
    const std::string sep(kMemberSeparator);
    const std::vector<Row> expected {
        { "a_notes.txt", ContainerKind::None, { 0 }, { 0 }, 12, 0 },
        { "b_box.zip" + sep + "docs/a.txt", ContainerKind::Archive, { 4 }, { 1 }, 14, 1600000000 },
        { "b_box.zip" + sep + "top.txt", ContainerKind::Archive, { 0 }, { 0 }, 5, 1700000000 },
        { "b_box.zip" + sep + "inner.tar" + sep + "deep/c.txt", ContainerKind::Archive, { 4 }, { 1 }, 9, 1500000000 },
        { "c_report.docx", ContainerKind::OfficeDocument, { 11 }, { 1 }, docSize, docTime },
        { "d_after.txt", ContainerKind::None, { 0 }, { 0 }, 6, 0 },
    };
    for (const int threads : { 0, 2 }) {
        TreeSearch search(threads);
        ASSERT_TRUE(search.run(panel(true))) << search.message();
        std::vector<Row> rows = rowsOf(search, m_tree.root());
        for (Row& row : rows) {
            if (row.container == ContainerKind::None)
                row.modified = 0; // the plain files' times are the test's run time
        }
        EXPECT_EQ(rows, expected) << "threads " << threads;
        ASSERT_EQ(search.events().summaries.size(), 1U);
        // Two files, four members (the tar inside is read, not counted) and one document's text.
        EXPECT_EQ(search.events().summaries[0].checked, 7U);
        EXPECT_EQ(search.events().summaries[0].found, 6);
        EXPECT_TRUE(search.events().problems.empty());
    }

    TreeSearch off;
    ASSERT_TRUE(off.run(panel(false)));
    for (int row = 0; row < off.doc().rowCount(); ++row)
        EXPECT_FALSE(off.doc().record(off.doc().recordAtRow(row)).inside) << row;
    EXPECT_EQ(off.events().summaries[0].checked, 4U);
}

TEST_F(InsideDocumentsTest, ReCheckKeepsMembersAndDropsThoseGoneOrNoLongerSearchedInside)
{
    TreeSearch search;
    ASSERT_TRUE(search.run(panel(true)));
    ASSERT_EQ(search.doc().rowCount(), 6);
    m_tree.write("b_box.zip", buildArchive(ArchiveFormat::Zip, { { "docs/a.txt", "alpha" }, { "top.txt", "beta" } }));

    PanelInput recheck = panel(true);
    recheck.listedFilesMode = true;
    ASSERT_TRUE(search.run(recheck));
    EXPECT_EQ(search.events().kept, (std::vector<std::size_t> { 0, 1, 4, 5 }));
    EXPECT_EQ(search.events().dropped, (std::vector<std::size_t> { 2, 3 }));
    const CLine& member = search.doc().record(search.doc().recordAtRow(1));
    ASSERT_TRUE(member.isMember());
    EXPECT_EQ(member.inside->member, "docs/a.txt");
    EXPECT_EQ(member.size, 5);

    recheck.scope.documents = false; // a member is no file of its own; the document is read as bytes
    ASSERT_TRUE(search.run(recheck));
    const std::vector<std::size_t>& dropped = search.events().dropped;
    EXPECT_NE(std::find(dropped.begin() + 2, dropped.end(), 1U), dropped.end());
    for (int row = 0; row < search.doc().rowCount(); ++row)
        EXPECT_FALSE(search.doc().record(search.doc().recordAtRow(row)).isMember());
}

TEST_F(InsideDocumentsTest, ProblemsInsideAreReportedOnceEachAndCounted)
{
    TempTree tree;
    tree.write("enc.zip",
        buildArchive(ArchiveFormat::Zip, { { "secret.txt", "alpha" } }, "zip:encryption=zipcrypt", "password"));
    tree.write("torn.tar", buildArchive(ArchiveFormat::Tar, { { "ok.txt", "alpha" } }).substr(0, 700));
    TreeSearch search;
    PanelInput input = TreeSearch::panel(tree.root(), "alpha");
    input.scope.documents = true;
    ASSERT_TRUE(search.run(input));
    const std::vector<std::string>& problems = search.events().problems;
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0], tree.path("enc.zip") + std::string(kMemberSeparator) + "secret.txt: encrypted, skipped");
    EXPECT_EQ(search.events().summaries[0].insideProblems, problems.size());
}

// Every match mode finds in a member exactly what it finds in the same bytes as a file of their own.
TEST(InsideDocumentsMatchTest, EveryMatchModeFindsInAMemberWhatItFindsInAFile)
{
    const std::string text = std::string("Alpha beta\nalphabet gamma\r\nBETA alpha.\n")
        + std::string("a\0l\0p\0h\0a\0", 10) + "\nend beta alpha\n";
    TempTree tree;
    tree.write("box.zip", buildArchive(ArchiveFormat::Zip, { { "m.txt", text } }));
    tree.write("plain.txt", text);
    struct Case {
        const char* keywords;
        bool matchCase;
        bool wholeWord;
        MatchMode mode;
        bool regex;
        bool unicode;
    };
    const Case cases[] = {
        { "alpha", false, false, MatchMode::AnyWord, false, false },
        { "alpha", true, false, MatchMode::AnyWord, false, false },
        { "alpha", false, true, MatchMode::AnyWord, false, false },
        { "alpha beta", false, false, MatchMode::AllWords, false, false },
        { "alpha gamma", true, false, MatchMode::AnyWord, false, false },
        { "beta alpha", false, false, MatchMode::WholePhrase, false, false },
        { "alpha", false, false, MatchMode::AnyWord, false, true },
        { "al+pha\\b", false, false, MatchMode::AnyWord, true, false },
        { "[bB]eta|gam+a", true, true, MatchMode::AnyWord, true, false },
    };
    for (const Case& c : cases) {
        PanelInput input = TreeSearch::panel(tree.root(), c.keywords);
        input.scope.documents = true;
        input.matchCase = c.matchCase;
        input.wholeWord = c.wholeWord;
        input.matchMode = c.mode;
        input.regex = c.regex;
        input.unicodeAware = c.unicode;
        TreeSearch search;
        ASSERT_TRUE(search.run(input)) << search.message();
        ASSERT_EQ(search.doc().rowCount(), 2) << c.keywords;
        const CLine& member = search.doc().record(search.doc().recordAtRow(0));
        const CLine& file = search.doc().record(search.doc().recordAtRow(1));
        ASSERT_TRUE(member.isMember()) << c.keywords;
        EXPECT_EQ(member.kind, file.kind) << c.keywords;
        ASSERT_EQ(member.hitCount(), file.hitCount()) << c.keywords;
        for (std::size_t i = 0; i < file.hitCount(); ++i) {
            const HitEntry& a = member.hit(i);
            const HitEntry& b = file.hit(i);
            EXPECT_EQ(std::tie(a.offset, a.line, a.length, a.keyword), std::tie(b.offset, b.line, b.length, b.keyword))
                << c.keywords << " hit " << i;
        }
    }
}

} // namespace
