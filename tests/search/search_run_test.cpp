#include "results/record_texts.h"
#include "results/vellick_doc.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "support/cline_fields.h"
#include "support/current_directory_guard.h"
#include "support/fake_file_types.h"
#include "support/hint_recorder.h"
#include "support/recording_events.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;
using testing::MatchesRegex;

namespace {

using Names = std::vector<std::string>;

// Counts the rows the document shows whenever the views hear DocumentHint::RowsAdded.
class RowsAddedRecorder : public DocumentObserver {
public:
    explicit RowsAddedRecorder(const CVellickDoc& doc)
        : m_doc(doc)
    {
    }
    void onDocumentUpdate(DocumentHint hint) override
    {
        if (hint == DocumentHint::RowsAdded)
            rowsAtHint.push_back(m_doc.rowCount());
    }
    std::vector<int> rowsAtHint;

private:
    const CVellickDoc& m_doc;
};

class SearchRunTest : public testing::Test {
protected:
    SearchRunTest() { m_doc.addObserver(&m_hints); }

    PanelInput panel(std::string keywords, std::string patterns = "*.*")
    {
        PanelInput input;
        input.keywordText = std::move(keywords);
        input.folder = m_tree.root();
        input.filePatterns = std::move(patterns);
        input.subFolders = true;
        return input;
    }

    void start(const PanelInput& input, SearchSettings settings = {})
    {
        const SearchRequest request = prepareSearch(input);
        ASSERT_TRUE(request.criteria) << request.message;
        SearchCriteria criteria = *request.criteria;
        if (criteria.listedFilesMode)
            criteria.listedPaths = listedPaths(m_doc);
        m_events.begin(criteria);
        m_run.start(criteria, settings, m_events);
    }

    void search(const PanelInput& input, SearchSettings settings = {})
    {
        start(input, settings);
        for (int guard = 0; m_run.step(1); ++guard)
            ASSERT_LT(guard, 100000) << "the run does not end";
    }

    // The found files' paths relative to the root, in row order.
    Names rows() const
    {
        Names names;
        for (int row = 0; row < m_doc.rowCount(); ++row)
            names.push_back(m_doc.record(m_doc.recordAtRow(row)).path.substr(m_tree.root().size() + 1));
        return names;
    }

    CurrentDirectoryGuard m_cwd;
    TempTree m_tree;
    FakeFileTypes m_types;
    CVellickDoc m_doc { &m_types };
    RecordingEvents m_events { m_doc };
    HintRecorder m_hints;
    SearchRun m_run;
};

} // namespace

TEST_F(SearchRunTest, FindsFilesInWalkOrderWithTheirDetails)
{
    m_tree.write("NOTES.TXT", "one\nTwo needle");
    m_tree.write("plain.txt", "nothing here");
    m_tree.write("sub/deep.log", std::string("\x80 needle", 8));
    m_tree.makeFifo("sub/pipe.txt");
    m_tree.setModified("NOTES.TXT", 1700000000, 250);
    search(panel("needle"));

    EXPECT_EQ(rows(), (Names { "NOTES.TXT", "sub/deep.log" })); // the path keeps its case
    EXPECT_EQ(m_run.foundCount(), 2);
    EXPECT_EQ(m_run.checkedCount(), 3u); // the FIFO is passed over, not checked
    const CLine& notes = m_doc.record(0);
    EXPECT_EQ(notes.path, m_tree.path("NOTES.TXT"));
    EXPECT_EQ(notes.kind, FileKind::Text);
    EXPECT_EQ(notes.size, 14);
    EXPECT_EQ(notes.modified, 1700000000);
    EXPECT_EQ(notes.modifiedNanoseconds, 250);
    EXPECT_EQ(notes.typeName, "TXT file");
    EXPECT_EQ(hitOffsets(notes), (std::vector<uint64_t> { 8 }));
    EXPECT_EQ(hitLines(notes), (std::vector<uint64_t> { 1 }));
    EXPECT_EQ(hitLengths(notes), (std::vector<uint32_t> { 6 }));
    EXPECT_EQ(m_doc.record(1).kind, FileKind::Binary);
    EXPECT_EQ(hitLines(m_doc.record(1)), (std::vector<uint64_t> { 0 }));
}

TEST_F(SearchRunTest, ReportsEventsInWalkOrderAndOneSummary)
{
    m_tree.write("a.txt", "needle");
    m_tree.write("b.txt", "needle");
    m_tree.write("sub/c.txt", "hay");
    search(panel("  needle ", ""));

    EXPECT_EQ(m_events.found, (Names { m_tree.path("a.txt"), m_tree.path("b.txt") }));
    EXPECT_EQ(m_events.statusTexts.front(), "Searching: " + m_tree.root());
    EXPECT_EQ(m_events.statusTexts[1], "(2 files checked) Searching: " + m_tree.path("sub"));
    ASSERT_EQ(m_events.summaries.size(), 1u);
    const RunSummary& summary = m_events.summaries.front();
    EXPECT_EQ(summary.found, 2);
    EXPECT_EQ(summary.checked, 3u);
    EXPECT_FALSE(summary.stoppedByUser);
    EXPECT_FALSE(summary.endedAtFoundCap);
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("2 files found \\(3 files checked\\)\\.time spent: 00:00:0[0-9]"));
    EXPECT_TRUE(m_events.messages.empty());
    EXPECT_EQ(m_doc.current(), m_doc.recordAtRow(0));
    EXPECT_FALSE(m_run.searchRunning());
    EXPECT_FALSE(m_run.inProgress());
    EXPECT_FALSE(m_run.step(1)); // an ended run reports nothing more
    EXPECT_EQ(m_events.summaries.size(), 1u);
}

TEST_F(SearchRunTest, SummaryWordsFollowTheCounts)
{
    m_tree.write("only.txt", "needle");
    search(panel("needle"));
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("1 file found \\(1 file checked\\)\\.time spent: .*"));

    m_tree.write("other.txt", "hay");
    search(panel("absent"));
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("No file found \\(2 files checked\\)\\.time spent: .*"));
    EXPECT_EQ(m_doc.current(), -1); // no first row made current for the run that found nothing

    search(panel("needle", "*.none"));
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("No file found \\(0 file checked\\)\\.time spent: .*"));
}

TEST_F(SearchRunTest, StopIsSeenBetweenFiles)
{
    for (const char* name : { "1.txt", "2.txt", "3.txt", "4.txt" })
        m_tree.write(name, "needle");
    start(panel("needle"));
    ASSERT_TRUE(m_run.step(1));
    ASSERT_TRUE(m_run.step(1));
    m_run.stop();
    EXPECT_FALSE(m_run.searchRunning());
    EXPECT_FALSE(m_run.step(100));

    EXPECT_EQ(m_run.checkedCount(), 2u);
    EXPECT_EQ(rows(), (Names { "1.txt", "2.txt" }));
    EXPECT_EQ(m_events.messages, (Names { "Search stopped before completion." }));
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("2 files found \\(2 files checked\\)\\.time spent: .*"));
    ASSERT_EQ(m_events.summaries.size(), 1u);
    EXPECT_TRUE(m_events.summaries.front().stoppedByUser);
    EXPECT_TRUE(m_run.cancelFlag().load());
    EXPECT_EQ(m_doc.current(), m_doc.recordAtRow(0));
}

TEST_F(SearchRunTest, FirstNineteenFoundFilesAreAnnouncedOneByOne)
{
    RowsAddedRecorder recorder(m_doc);
    m_doc.addObserver(&recorder);
    for (int i = 0; i < 23; ++i)
        m_tree.write("f" + std::to_string(100 + i), "needle");
    search(panel("needle"));
    std::vector<int> expected;
    for (int rows = 1; rows <= 19; ++rows)
        expected.push_back(rows);
    expected.push_back(23); // the rest in one notification at the end
    EXPECT_EQ(recorder.rowsAtHint, expected);

    recorder.rowsAtHint.clear();
    for (int i = 19; i < 23; ++i)
        std::remove(m_tree.path("f" + std::to_string(100 + i)).c_str());
    search(panel("needle"));
    EXPECT_EQ(recorder.rowsAtHint.size(), 19u); // no notification at the end below 20
    m_doc.removeObserver(&recorder);
}

TEST_F(SearchRunTest, NewSearchClearsTheDocument)
{
    m_tree.write("a.txt", "needle");
    search(panel("needle"));
    EXPECT_EQ(m_hints.count(DocumentHint::Cleared), 0); // the document was empty
    search(panel("needle"));
    EXPECT_EQ(m_hints.count(DocumentHint::Cleared), 1);
    EXPECT_EQ(m_doc.recordCount(), 1);
}

TEST_F(SearchRunTest, FileThatVanishesIsCheckedButNotFound)
{
    m_tree.write("a.txt", "needle");
    m_tree.write("b.txt", "needle");
    m_tree.write("c.txt", "needle");
    m_run.setScanThreads(0, false); // no scanning ahead: each file is read when the run takes it
    start(panel("needle"));
    ASSERT_TRUE(m_run.step(1));
    std::remove(m_tree.path("b.txt").c_str());
    while (m_run.step(1)) { }
    EXPECT_EQ(rows(), (Names { "a.txt", "c.txt" }));
    EXPECT_EQ(m_run.checkedCount(), 3u);
}

TEST_F(SearchRunTest, FileMatchingTwoPatternsIsListedTwice)
{
    m_tree.write("a.txt", "needle");
    m_tree.write("b.txt", "needle");
    search(panel("needle", "*.txt;a*.txt"));
    EXPECT_EQ(rows(), (Names { "a.txt", "b.txt", "a.txt" }));
    EXPECT_EQ(m_run.checkedCount(), 3u);
}

TEST_F(SearchRunTest, SettingsGiveHiddenFilesAndTheHitLimit)
{
    m_tree.write(".hidden", "needle needle");
    search(panel("needle"));
    EXPECT_EQ(m_run.foundCount(), 0);
    SearchSettings settings;
    settings.includeHidden = true;
    settings.maxKeys = 1;
    search(panel("needle"), settings);
    ASSERT_EQ(rows(), (Names { ".hidden" }));
    EXPECT_EQ(m_doc.record(0).hitCount(), 1u);
}

TEST_F(SearchRunTest, WithoutSubFoldersOnlyTheStartingFolder)
{
    m_tree.write("top.txt", "needle");
    m_tree.write("sub/below.txt", "needle");
    PanelInput input = panel("needle");
    input.subFolders = false;
    search(input);
    EXPECT_EQ(rows(), (Names { "top.txt" }));
}

TEST_F(SearchRunTest, RootIsTheResolvedCurrentDirectory)
{
    m_tree.write("real/a.txt", "needle");
    m_tree.makeSymlink(m_tree.path("real"), "alias");
    PanelInput input = panel("needle");
    input.folder = m_tree.path("alias");
    search(input);
    ASSERT_EQ(m_doc.rowCount(), 1);
    EXPECT_EQ(m_doc.record(0).path, m_tree.path("real/a.txt"));
}

TEST_F(SearchRunTest, ListedFilesAreRechecked)
{
    for (const char* name : { "1.txt", "2.txt", "3.txt", "4.txt", "5.txt" })
        m_tree.write(name, "needle");
    search(panel("needle"));
    ASSERT_EQ(m_doc.rowCount(), 5);
    m_tree.write("2.txt", "gone");
    m_tree.write("3.txt", "gone");
    m_tree.write("5.txt", "..needle needle");
    m_tree.write("6.txt", "needle"); // not listed: not searched
    m_hints.hints.clear();
    m_events.statusTexts.clear();

    PanelInput input = panel("needle");
    input.listedFilesMode = true;
    search(input);
    EXPECT_EQ(rows(), (Names { "1.txt", "4.txt", "5.txt" }));
    EXPECT_EQ(m_doc.recordCount(), 5); // the records of removed rows stay
    EXPECT_EQ(m_hints.removedRows, (std::vector<int> { 1, 1 })); // the same position is visited next
    EXPECT_EQ(m_hints.count(DocumentHint::Cleared), 0);
    EXPECT_EQ(hitOffsets(m_doc.record(4)), (std::vector<uint64_t> { 2, 9 }));
    EXPECT_EQ(m_doc.record(1).hitCount(), 0u);
    EXPECT_THAT(m_events.lastStatus(), MatchesRegex("3 files found \\(5 files checked\\)\\.time spent: .*"));
    EXPECT_EQ(m_events.statusTexts[0], "Searching " + m_tree.path("1.txt") + " ");
    EXPECT_EQ(m_events.kept, (std::vector<std::size_t> { 0, 3, 4 }));
    EXPECT_EQ(m_events.dropped, (std::vector<std::size_t> { 1, 2 }));
    EXPECT_EQ(m_doc.current(), 0);
}

TEST_F(SearchRunTest, KeywordsAndFlagsOfTheLastRunStay)
{
    m_tree.write("a.txt", "x");
    PanelInput input = panel("ab cd");
    input.matchMode = MatchMode::AnyWord;
    search(input);
    EXPECT_EQ(m_run.keywords().count(), 2u);
    EXPECT_EQ(m_run.flags(), uint32_t { IgnoreCase | SubFolders | AnyWord });
}

// A found file's hit count and whether its scan stopped at the hit limit ("+"): under "match all words"
// each word has its own limit, so more hits than the limit need not have reached it.
TEST(SearchRunHitLimit, FoundFilesSayWhetherTheyReachedTheLimit)
{
    TempTree tree;
    tree.write("a.txt", "cat dog cat dog dog");
    struct Case {
        const char* keywords;
        MatchMode mode;
        bool regex;
        int maxKeys;
        const char* count;
    };
    const Case cases[] = {
        { "cat", MatchMode::AnyWord, false, 3, "2" },
        { "cat", MatchMode::AnyWord, false, 2, "2+" },
        { "cat dog", MatchMode::AnyWord, false, 4, "4+" },
        { "cat dog", MatchMode::AnyWord, false, 9, "5" },
        { "cat dog", MatchMode::AllWords, false, 3, "5+" }, // dog reached 3
        { "cat dog", MatchMode::AllWords, false, 4, "5" }, // neither reached 4, though 5 > 4
        { "cat dog", MatchMode::WholePhrase, false, 2, "2+" },
        { "dog|cat", MatchMode::AllWords, true, 5, "5+" },
        { "dog|cat", MatchMode::AllWords, true, 6, "5" },
    };
    for (const Case& c : cases) {
        TreeSearch search;
        PanelInput input = TreeSearch::panel(tree.root(), c.keywords);
        input.matchMode = c.mode;
        input.regex = c.regex;
        SearchSettings settings;
        settings.maxKeys = c.maxKeys;
        ASSERT_TRUE(search.run(input, settings)) << c.keywords;
        ASSERT_EQ(search.doc().rowCount(), 1) << c.keywords;
        const CLine& line = search.doc().record(0);
        EXPECT_EQ(hitCountText(line.hitCount(), line.hitLimitReached), c.count)
            << c.keywords << " mode " << static_cast<int>(c.mode) << " limit " << c.maxKeys;
    }
}
