#include "cli/cli_app.h"

#include "base/paths.h"
#include "cli/cli_options.h"
#include "cli/cli_sink.h"
#include "cli/interrupt.h"
#include "cli/option_table.h"
#include "cli/output_writer.h"
#include "cli/path_list.h"
#include "report/report_writer.h"
#include "results/message_sink.h"
#include "results/run_texts.h"
#include "results/vellick_doc.h"
#include "search/search_run.h"
#include "search/text_rules.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace vellick {

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNoneFound = 1;
constexpr int kExitError = 2;
constexpr int kExitInterrupted = 130;
constexpr int kStepBudget = 256;
constexpr std::chrono::milliseconds kStepWait { 50 };

int badInput(std::ostream& err, const std::string& text)
{
    err << "vellick-cli: " << text << '\n' << "Try 'vellick-cli --help' for more information.\n";
    return kExitError;
}

// The surrounding-text loader's messages as stderr lines.
class StderrMessages : public MessageSink {
public:
    explicit StderrMessages(std::ostream& err)
        : m_err(err)
    {
    }
    void showMessage(const std::string& text) override { m_err << text << '\n'; }

private:
    std::ostream& m_err;
};

int failure(std::ostream& err, const std::string& text)
{
    err << "vellick-cli: " << text << '\n';
    return kExitError;
}

// Prints a text and exits: --help and --version.
int printAndExit(OutputWriter& out, std::ostream& err, const std::string& text)
{
    out.write(text);
    if (!out.flush() && out.error())
        return failure(err, std::string("write error: ") + std::strerror(out.error()));
    return kExitFound;
}

// Start's checks for every folder, before anything is searched; the folders'
// criteria, one search per folder (a folder text may name several, split at
// ";"), so that each has its summary and --relative paths. The listed files are
// re-checked once, whatever the folders.
std::optional<int> checkFolders(const CliOptions& options, std::vector<SearchCriteria>& searches, std::ostream& err)
{
    std::vector<std::string> folders = options.folders;
    if (folders.empty())
        folders.emplace_back();
    for (const std::string& folder : folders) {
        PanelInput panel = options.panel;
        panel.folder = folder;
        SearchRequest request = prepareSearch(panel);
        if (!request.criteria)
            return failure(err, request.message);
        for (const std::string& root : request.criteria->rootFolders) {
            SearchCriteria& search = searches.emplace_back(*request.criteria);
            search.rootFolder = root;
            search.rootFolders = { root };
        }
    }
    if (options.listedFile)
        searches.resize(1);
    return std::nullopt;
}

// The listed files, relative ones taken from the start directory; the list is
// opened before anything else could change what a relative name means.
std::optional<int> readListedFiles(const CliOptions& options, std::vector<std::string>& paths, std::ostream& err)
{
    std::string error;
    const std::optional<PathList> list = readPathList(AT_FDCWD, *options.listedFile, error);
    if (!list)
        return failure(err, "cannot read the list " + *options.listedFile + ": " + error);
    for (const std::string& skipped : list->skipped)
        err << "vellick-cli: " << skipped << '\n';
    // Relative paths stay relative when the start directory is gone: they then name no file.
    const std::optional<std::string> start = currentDirectory();
    for (const std::string& path : list->paths)
        paths.push_back(path.front() == '/' || !start ? path : joinPath(*start, path));
    return std::nullopt;
}

// One run over one folder (or the listed files) with its document, kept for the report.
struct FolderRun {
    std::unique_ptr<CVellickDoc> doc;
    std::unique_ptr<SearchRun> run;
    std::optional<RunSummary> summary;
    int reportRows = 0; // the rows of the document that were checked and matched
};

class CliSearch {
public:
    CliSearch(const CliOptions& options, OutputWriter& out, std::ostream& err, FileTypeService* fileTypes)
        : m_options(options)
        , m_out(out)
        , m_err(err)
        , m_fileTypes(fileTypes)
    {
    }

    int run(std::vector<SearchCriteria>& searches, const std::vector<std::string>& listedPaths);

private:
    bool runOne(SearchCriteria& criteria, const std::vector<std::string>& listedPaths);
    FoundPrinter::Style printStyle(const SearchCriteria& criteria) const;
    SearchSettings runSettings() const;
    CliSink::Setup sinkSetup(const SearchCriteria& criteria) const;
    void printSummary(const RunSummary& summary) const;
    std::optional<int> writeReport();

    const CliOptions& m_options;
    OutputWriter& m_out;
    std::ostream& m_err;
    FileTypeService* m_fileTypes;
    std::vector<FolderRun> m_runs;
};

FoundPrinter::Style CliSearch::printStyle(const SearchCriteria& criteria) const
{
    FoundPrinter::Style style;
    style.mode = m_options.output;
    style.color = m_options.color == ColorChoice::Always
        || (m_options.color == ColorChoice::Auto && ::isatty(STDOUT_FILENO) == 1);
    style.showLineNumbers = m_options.showLineNumbers;
    if (m_options.relativePaths)
        style.relativeTo = criteria.rootFolder;
    return style;
}

// Printing paths only, with no report, needs no more than the hits that make a file found: one (one per
// word under "match all words"). The scan of a file then ends at its first hit, as grep -l's does.
SearchSettings CliSearch::runSettings() const
{
    SearchSettings settings = m_options.settings;
    const bool hitsUnused = m_options.output == OutputMode::Paths || m_options.output == OutputMode::Quiet;
    if (hitsUnused && !m_options.reportPath)
        settings.maxKeys = kMinMaxKeys;
    return settings;
}

bool CliSearch::runOne(SearchCriteria& criteria, const std::vector<std::string>& listedPaths)
{
    // Type names show only in a report's type column; asking the MIME database
    // for every found file otherwise would only slow the search.
    const bool typesShown = m_options.reportPath && m_options.reportOptions.includeType;
    FolderRun& folderRun = m_runs.emplace_back();
    folderRun.doc = std::make_unique<CVellickDoc>(typesShown ? m_fileTypes : nullptr);
    folderRun.run = std::make_unique<SearchRun>();
    CVellickDoc& doc = *folderRun.doc;
    SearchRun& run = *folderRun.run;
    if (criteria.listedFilesMode) {
        for (const std::string& path : listedPaths)
            doc.addRecord(path, FileKind::Text);
        criteria.listedPaths = listedPaths;
    }
    // vellick-cli scans on its own thread too, so -j 1 means exactly one thread.
    const int threads
        = m_options.threads > 0 ? m_options.threads : static_cast<int>(std::thread::hardware_concurrency());
    run.setScanThreads(std::max(threads, 1) - 1, true, m_options.threads == 0);

    StderrMessages messages(m_err);
    FoundPrinter printer(printStyle(criteria), m_out, messages);
    CliSink sink(doc, printer, m_out, m_err, run, sinkSetup(criteria));
    run.start(criteria, runSettings(), sink);
    InterruptGuard::watch(&run);
    while (!interrupted() && run.step(kStepBudget, kStepWait))
        m_out.flush();
    InterruptGuard::watch(nullptr);
    sink.clearProgress();
    if (interrupted())
        return false;
    m_out.flush();
    folderRun.summary = sink.summary();
    folderRun.reportRows = criteria.listedFilesMode ? sink.keptRows() : doc.rowCount();
    if (folderRun.summary)
        printSummary(*folderRun.summary);
    return true;
}

CliSink::Setup CliSearch::sinkSetup(const SearchCriteria& criteria) const
{
    CliSink::Setup setup;
    setup.listedFilesMode = criteria.listedFilesMode;
    setup.showProgress = ::isatty(STDERR_FILENO) == 1 && m_options.output != OutputMode::Quiet;
    setup.runOnWithoutOutput = m_options.reportPath.has_value();
    setup.stopAtFirstFound = m_options.output == OutputMode::Quiet && !m_options.reportPath;
    setup.writeEachRow = ::isatty(STDOUT_FILENO) == 1;
    return setup;
}

void CliSearch::printSummary(const RunSummary& summary) const
{
    // A run stopped here (-q, or printing ended) has no summary worth showing.
    if (m_options.output == OutputMode::Quiet || summary.stoppedByUser)
        return;
    if (summary.endedAtFoundCap)
        m_err << kStoppedMessage << '\n';
    m_err << summaryText(summary.found, summary.checked, summary.elapsedSeconds)
          << insideProblemsText(summary.insideProblems) << '\n';
}

std::optional<int> CliSearch::writeReport()
{
    std::vector<ReportRow> rows;
    for (FolderRun& folderRun : m_runs) {
        std::vector<ReportRow> runRows = everyRow(*folderRun.doc);
        runRows.resize(std::min<std::size_t>(runRows.size(), static_cast<std::size_t>(folderRun.reportRows)));
        rows.insert(rows.end(), runRows.begin(), runRows.end());
    }
    if (rows.empty())
        return std::nullopt;
    StderrMessages messages(m_err);
    const ReportSettings settings { m_options.reportFormat, m_options.reportOptions, m_options.showLineNumbers };
    const ReportStatus status
        = WriteReport(*m_options.reportPath, rows, m_runs.front().run->keywords(), settings, messages);
    if (status == ReportStatus::Written)
        return std::nullopt;
    return failure(m_err, reportStatusText(status));
}

int CliSearch::run(std::vector<SearchCriteria>& searches, const std::vector<std::string>& listedPaths)
{
    const InterruptGuard guard;
    int found = 0;
    for (SearchCriteria& criteria : searches) {
        if (interrupted() || !runOne(criteria, listedPaths))
            return kExitInterrupted;
        found += m_runs.back().summary ? m_runs.back().summary->found : 0;
        if (m_out.ended() && !m_options.reportPath)
            break;
    }
    std::optional<int> reportFailed;
    if (m_options.reportPath)
        reportFailed = writeReport();
    if (interrupted())
        return kExitInterrupted;
    if (m_out.error())
        return failure(m_err, std::string("write error: ") + std::strerror(m_out.error()));
    if (reportFailed)
        return *reportFailed;
    return found > 0 ? kExitFound : kExitNoneFound;
}

} // namespace

int runCli(int argc, const char* const* argv, OutputWriter& out, std::ostream& err, FileTypeService* fileTypes)
{
    const CliParse parse = parseCliOptions(argc, argv);
    if (!parse.options)
        return badInput(err, parse.error);
    const CliOptions& options = *parse.options;
    if (options.showHelp)
        return printAndExit(out, err, helpText());
    if (options.showVersion)
        return printAndExit(out, err, "vellick-cli " VELLICK_VERSION "\n");
    if (trimText(cutText(options.panel.keywordText, kMaxKeywordText)).size() < 2)
        return badInput(err, "the keyword text must be at least 2 characters long");

    std::vector<std::string> listedPaths;
    if (options.listedFile) {
        if (auto failed = readListedFiles(options, listedPaths, err))
            return *failed;
    }
    std::vector<SearchCriteria> searches;
    if (auto failed = checkFolders(options, searches, err))
        return *failed;
    return CliSearch(options, out, err, fileTypes).run(searches, listedPaths);
}

} // namespace vellick
