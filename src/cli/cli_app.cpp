#include "cli/cli_app.h"

#include "base/paths.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/json_writer.h"
#include "report/report_writer.h"
#include "results/vellick_doc.h"
#include "search/search_run.h"
#include "search/text_rules.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace vellick {

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNoneFound = 1;
constexpr int kExitBadInput = 2;
constexpr int kStepBudget = 256;

// The run Ctrl-C stops: stop() only stores into an atomic flag, so a scan deep in a large file ends at
// its next block.
std::atomic<SearchRun*> g_interruptedRun { nullptr };

extern "C" void onInterrupt(int)
{
    if (SearchRun* run = g_interruptedRun.load())
        run->stop();
}

int badInput(std::ostream& err, const std::string& text)
{
    err << "vellick-cli: " << text << '\n' << "Try 'vellick-cli --help' for more information.\n";
    return kExitBadInput;
}

// A path given on the command line, taken from the directory vellick-cli was started in: the search
// makes its folder the current directory.
std::string fromStartDirectory(const std::string& startDirectory, const std::string& path)
{
    if (path.empty() || path.front() == '/' || startDirectory.empty())
        return path;
    return joinPath(startDirectory, path);
}

// Lists the files named in `listPath` as the rows of an earlier search; relative paths are taken from
// the directory vellick-cli was started in.
bool loadListedFiles(const std::string& listPath, const std::string& startDirectory, CVellickDoc& doc)
{
    std::ifstream list(listPath, std::ios::binary);
    if (!list)
        return false;
    std::string path;
    while (std::getline(list, path)) {
        if (!path.empty() && path.back() == '\r')
            path.pop_back();
        if (path.empty())
            continue;
        doc.addRecord(fromStartDirectory(startDirectory, path), FileKind::Text);
    }
    return true;
}

// Each found file's path; with --hits its JSON line instead, with --context followed by its display lines.
void printRows(CVellickDoc& doc, const CliOptions& options, CliHost& host, std::ostream& out)
{
    for (int row = 0; row < doc.rowCount(); ++row) {
        CLine& line = doc.record(doc.recordAtRow(row));
        if (options.printHits) {
            out << hitsJson(line) << '\n';
            continue;
        }
        out << line.path << '\n';
        if (!options.printContext)
            continue;
        out.flush(); // a loader message on stderr then follows its path
        if (line.LoadContexts(host)) {
            for (const DisplayLine& displayLine : line.displayLines())
                out << line.displayLineText(displayLine, options.showLineNumbers) << '\n';
        }
        line.dropContexts();
    }
}

// The report of every row; an exit status when it could not be written.
std::optional<int> writeReport(
    const CliOptions& options, const std::string& path, CVellickDoc& doc, const SearchRun& run, CliHost& host)
{
    if (doc.rowCount() == 0)
        return std::nullopt;
    const ReportSettings settings { options.reportFormat, options.reportOptions, options.showLineNumbers };
    const ReportStatus status = WriteReport(path, everyRow(doc), run.keywords(), settings, host);
    if (status == ReportStatus::Written)
        return std::nullopt;
    host.showMessage(reportStatusText(status));
    return kExitBadInput;
}

int runSearch(const CliOptions& options, const std::string& startDirectory, CVellickDoc& doc, std::ostream& out,
    std::ostream& err)
{
    const SearchRequest request = prepareSearch(options.panel);
    if (!request.criteria) {
        err << request.message << '\n';
        return kExitBadInput;
    }
    CliHost host(err, ::isatty(STDERR_FILENO) == 1, doc);
    SearchRun run;
    // vellick-cli scans on its own thread too, so --threads 1 means exactly one thread.
    const int threads = options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
    run.setScanThreads(std::max(threads, 1) - 1, true);
    SearchCriteria criteria = *request.criteria;
    if (criteria.listedFilesMode)
        criteria.listedPaths = listedPaths(doc);
    run.start(criteria, options.settings, host);
    g_interruptedRun = &run;
    auto previous = std::signal(SIGINT, onInterrupt);
    while (run.step(kStepBudget)) { }
    static_cast<void>(std::signal(SIGINT, previous));
    g_interruptedRun = nullptr;
    host.clearProgress();
    printRows(doc, options, host, out);
    out.flush();
    err << host.lastStatusText() << '\n';
    if (options.reportPath) {
        if (auto failed = writeReport(options, fromStartDirectory(startDirectory, *options.reportPath), doc, run, host))
            return *failed;
    }
    return run.foundCount() > 0 ? kExitFound : kExitNoneFound;
}

} // namespace

int runCli(int argc, char** argv, std::ostream& out, std::ostream& err, FileTypeService* fileTypes)
{
    const CliParse parse = parseCliOptions(argc, argv);
    if (!parse.options)
        return badInput(err, parse.error);
    const CliOptions& options = *parse.options;
    if (options.showHelp) {
        out << kCliUsage;
        return 0;
    }
    if (options.showVersion) {
        out << "vellick-cli 1.0.0\n";
        return 0;
    }
    if (trimText(cutText(options.panel.keywordText, kMaxKeywordText)).size() < 2)
        return badInput(err, "the keyword text must be at least 2 characters long");

    const std::string startDirectory = currentDirectory().value_or("");
    // Type names show only in a report's type column; asking the MIME database for every found file
    // otherwise would only slow the search.
    const bool typesShown = options.reportPath && options.reportOptions.includeType;
    CVellickDoc doc(typesShown ? fileTypes : nullptr);
    if (options.listedFile && !loadListedFiles(*options.listedFile, startDirectory, doc))
        return badInput(err, "cannot read the list of files '" + *options.listedFile + "'");
    return runSearch(options, startDirectory, doc, out, err);
}

} // namespace vellick
