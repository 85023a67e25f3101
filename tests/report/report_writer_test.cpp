#include "report/report_fixture.h"
#include "report/report_row.h"
#include "support/cline_fields.h"
#include "support/golden.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vellick::test {
namespace {

class ReportWriterTest : public ReportFixture {
protected:
    // A file with `lineCount` display lines: one hit per line.
    CLine& manyLines(const std::string& name, std::size_t lineCount)
    {
        std::string content;
        for (std::size_t n = 0; n < lineCount; ++n)
            content += "alpha\n";
        return m_doc.record(addFile(name, content, FileKind::Text, { 1, 1 }, "t"));
    }
};

TEST_F(ReportWriterTest, CommaSeparatedWithEveryColumn)
{
    expectGolden("report_csv_all.csv", report({ ReportFormat::Csv, allColumns(), true }, m_allWords));
    // The changed file is told once, and its row says the text is not available.
    EXPECT_EQ(m_messages.messages.size(), 1u);
}

TEST_F(ReportWriterTest, CommaSeparatedNamesOnly)
{
    expectGolden("report_csv_names.csv", report({ ReportFormat::Csv, {}, true }, m_allWords));
    EXPECT_TRUE(m_messages.messages.empty()); // no surrounding text asked for, no file looked at
}

TEST_F(ReportWriterTest, ImportTextMatchAnyWithoutLineNumbers)
{
    ReportOptions options = allColumns();
    options.includePath = false;
    expectGolden("report_import_any.txt", report({ ReportFormat::Import, options, false }, m_anyWord));
}

TEST_F(ReportWriterTest, PlainTextWithEveryColumn)
{
    ReportOptions options = allColumns();
    options.includePath = false;
    expectGolden("report_text_all.txt", report({ ReportFormat::PlainText, options, true }, m_allWords));
}

TEST_F(ReportWriterTest, PlainTextFileColumnsOnly)
{
    ReportOptions options;
    options.includeType = true;
    options.includeSize = true;
    options.includeModified = true;
    expectGolden("report_text_columns.txt", report({ ReportFormat::PlainText, options, true }, m_allWords));
}

std::size_t filesIn(const std::string& folder)
{
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++count;
    return count;
}

TEST_F(ReportWriterTest, CommaSeparatedWritesAtMost100Lines)
{
    ReportSettings settings { ReportFormat::Csv, {}, false };
    settings.options.includeContext = true;
    CLine& hundred = manyLines("hundred.txt", 100);
    const std::string full = reportContextColumn(hundred, settings, m_messages);
    EXPECT_EQ(countOf(full, "alpha"), 100u);
    EXPECT_EQ(full.find("more lines"), std::string::npos);

    CLine& more = manyLines("more.txt", 150);
    const std::string capped = reportContextColumn(more, settings, m_messages);
    EXPECT_EQ(countOf(capped, "alpha"), 100u);
    EXPECT_EQ(capped.substr(capped.size() - 40), "alpha\n... more lines (limited by Excel)\"");

    settings.format = ReportFormat::Import;
    const std::string all = reportContextColumn(more, settings, m_messages);
    EXPECT_EQ(countOf(all, "alpha; "), 149u);
    EXPECT_EQ(all.substr(all.size() - 8), "; alpha\"");
}

TEST(ReportKeywordsTest, WhichPatternsAreWritten)
{
    CLine line("/x");
    line.appendHit(testHit(0, 0, 2, 1));
    line.appendHit(testHit(0, 5, 2, 3));
    // Match any: only the patterns that hit this file, each followed by a space.
    EXPECT_EQ(reportKeywordsText(line, KeywordList("ab cd", AnyWord)), "cd ");
    // Match all, or a single pattern: every pattern, separated by spaces.
    EXPECT_EQ(reportKeywordsText(line, KeywordList("ab cd", AllWords)), "ab cd");
    EXPECT_EQ(reportKeywordsText(line, KeywordList("ab", 0)), "ab");
    // As the list holds them: lower-cased, with whole-word spaces, the wide forms with their 0xFF bytes.
    EXPECT_EQ(reportKeywordsText(line, KeywordList("AB", IgnoreCase | WholeWord)), " ab ");
    EXPECT_EQ(reportKeywordsText(line, KeywordList("ab cd", AnyWord | UnicodeAware)),
        "cd \xff"
        "c\xff"
        "d ");
    // The phrase alone, also when its wide form was searched; quotes become apostrophes.
    EXPECT_EQ(reportKeywordsText(line, KeywordList("say \"hi\" now", WholePhrase | UnicodeAware)), "say 'hi' now");
}

// The hit count is a column only when asked for: after the time, with "+" at the hit limit, alike in the
// three formats; without it header and row are what they always were.
TEST(ReportHitCountTest, ColumnOnlyWhenAsked)
{
    CLine line("/d/a.txt");
    line.size = 5;
    for (uint64_t offset : { 0, 4, 8 })
        line.appendHit(testHit(0, offset, 2, 0));
    const KeywordList keywords("ab", IgnoreCase);
    RecordingSink messages;
    struct Case {
        ReportFormat format;
        bool includeHits;
        bool limitReached;
        const char* header; // format 1 only
        const char* row;
    };
    const Case cases[] = {
        { ReportFormat::Csv, false, true, "File Name,File Size,Modified,Keywords\r\n",
            "a.txt,5,1/1/1970 12:0:0 AM,\"ab\"\r\n" },
        { ReportFormat::Csv, true, false, "File Name,File Size,Modified,Hits,Keywords\r\n",
            "a.txt,5,1/1/1970 12:0:0 AM,3,\"ab\"\r\n" },
        { ReportFormat::Csv, true, true, "", "a.txt,5,1/1/1970 12:0:0 AM,3+,\"ab\"\r\n" },
        { ReportFormat::Import, false, false, "", "a.txt,5,1/1/1970 12:0:0 AM,\"ab\"\r\n" },
        { ReportFormat::Import, true, true, "", "a.txt,5,1/1/1970 12:0:0 AM,3+,\"ab\"\r\n" },
        { ReportFormat::PlainText, false, false, "", "a.txt,5,1/1/1970 12:0:0 AM\nKeywords: \"ab\"\r\n" },
        { ReportFormat::PlainText, true, true, "", "a.txt,5,1/1/1970 12:0:0 AM,3+\nKeywords: \"ab\"\r\n" },
    };
    for (const Case& c : cases) {
        ReportOptions options;
        options.includeSize = true;
        options.includeModified = true;
        options.includeKeywords = true;
        options.includeHits = c.includeHits;
        line.hitLimitReached = c.limitReached;
        const ReportSettings settings { c.format, options, true };
        if (*c.header) {
            EXPECT_EQ(reportHeader(options), c.header);
        }
        EXPECT_EQ(reportRowText(line, settings, keywords, messages), c.row)
            << static_cast<int>(c.format) << c.includeHits << c.limitReached;
    }
}

TEST_F(ReportWriterTest, WindowReportHoldsTickedRowsAndTheHighlightedRow)
{
    m_doc.record(2).checked = true;
    m_doc.setCurrent(1);
    m_doc.record(0).checked = false;
    std::vector<ReportRow> rows = checkedAndHighlightedRows(m_doc);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].line, &m_doc.record(1));
    EXPECT_TRUE(rows[0].highlighted);
    EXPECT_EQ(rows[1].line, &m_doc.record(2));

    m_doc.record(1).checked = true; // ticked and highlighted: written once
    EXPECT_EQ(checkedAndHighlightedRows(m_doc).size(), 2u);

    // The highlighted record keeps its loaded text for the text pane; the others give it up.
    ReportSettings settings { ReportFormat::Csv, {}, true };
    settings.options.includeContext = true;
    rows.push_back({ &m_doc.record(0), false });
    EXPECT_EQ(WriteReport(m_tree.path("r.csv"), rows, m_allWords, settings, m_messages), ReportStatus::Written);
    EXPECT_EQ(m_doc.record(1).contextState(), ContextState::Loaded);
    EXPECT_EQ(m_doc.record(0).contextState(), ContextState::NotLoaded);
    EXPECT_EQ(m_doc.record(2).contextState(), ContextState::Refused);
}

TEST_F(ReportWriterTest, FileThatCannotBeCreated)
{
    const std::string path = m_tree.path("missing/report.csv");
    EXPECT_EQ(WriteReport(path, everyRow(m_doc), m_allWords, {}, m_messages), ReportStatus::OpenFailed);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(WriteReport(m_tree.root(), everyRow(m_doc), m_allWords, {}, m_messages), ReportStatus::OpenFailed);
    EXPECT_EQ(reportStatusText(ReportStatus::OpenFailed), "Open file failed.");
}

TEST_F(ReportWriterTest, WriteFailureIsNotReportedAsSuccess)
{
    ReportSettings settings { ReportFormat::Csv, allColumns(), true };
    EXPECT_EQ(WriteReport("/dev/full", everyRow(m_doc), m_allWords, settings, m_messages), ReportStatus::WriteFailed);
    EXPECT_TRUE(std::filesystem::exists("/dev/full")); // a device is never removed
    EXPECT_EQ(reportStatusText(ReportStatus::WriteFailed), "Write file failed.");

    // A regular file that cannot be written completely is removed, not left as a truncated report.
    manyLines("thousand.txt", 1000).checked = true;
    settings.format = ReportFormat::PlainText; // all 1000 lines
    const auto writeOver4K = [&](const std::string& path) {
        rlimit previous {};
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 4096;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const ReportStatus status = WriteReport(path, everyRow(m_doc), m_allWords, settings, m_messages);
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
        return status;
    };
    const std::size_t entries = filesIn(m_tree.root());
    EXPECT_EQ(writeOver4K(m_tree.path("big.csv")), ReportStatus::WriteFailed);
    EXPECT_FALSE(std::filesystem::exists(m_tree.path("big.csv")));

    // An older report that the new one was to replace is kept as it was.
    const std::string old = m_tree.write("old.txt", "an older report\n");
    EXPECT_EQ(writeOver4K(old), ReportStatus::WriteFailed);
    EXPECT_EQ(readFile(old), "an older report\n");
    EXPECT_EQ(filesIn(m_tree.root()), entries + 1) << "a temporary file was left behind";
}

// An existing report is replaced by a new file: the new one takes its permission bits, and a link to it
// stays a link.
TEST_F(ReportWriterTest, ExistingReportIsReplacedKeepingItsModeAndLinks)
{
    const std::string real = m_tree.write("reports/real.csv", "an older report\n");
    ::chmod(real.c_str(), 0640);
    const std::string link = m_tree.makeSymlink(real, "reports/link.csv");
    const ReportSettings settings { ReportFormat::Csv, {}, true };
    EXPECT_EQ(WriteReport(link, everyRow(m_doc), m_allWords, settings, m_messages), ReportStatus::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), "File Name\r\nNotes.txt\r\ndata.bin\r\ngone.txt\r\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(), static_cast<std::filesystem::perms>(0640));
    EXPECT_EQ(filesIn(m_tree.path("reports")), 2u);
}

} // namespace
} // namespace vellick::test
