#include "cli/cli_app.h"

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/json_writer.h"
#include "results/vellick_doc.h"
#include "search/folder_walk.h"
#include "search/search_run.h"
#include "search/text_rules.h"

#include <algorithm>
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

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

int badInput(std::ostream& err, const std::string& text)
{
    err << "vellick-cli: " << text << '\n' << "Try 'vellick-cli --help' for more information.\n";
    return kExitBadInput;
}

// Lists the files named in `listPath` as the rows of an earlier search; relative paths are taken from
// the directory vellick-cli was started in.
bool loadListedFiles(const std::string& listPath, CVellickDoc& doc)
{
    std::ifstream list(listPath, std::ios::binary);
    if (!list)
        return false;
    const std::string startDirectory = currentDirectory().value_or(".");
    std::string path;
    while (std::getline(list, path)) {
        if (!path.empty() && path.back() == '\r')
            path.pop_back();
        if (path.empty())
            continue;
        doc.addRecord(path.front() == '/' ? path : joinPath(startDirectory, path), FileKind::Text);
    }
    return true;
}

void printRows(const CVellickDoc& doc, bool asJson, std::ostream& out)
{
    for (int row = 0; row < doc.rowCount(); ++row) {
        const CLine& line = doc.record(doc.recordAtRow(row));
        if (asJson)
            out << hitsJson(line) << '\n';
        else
            out << line.path << '\n';
    }
}

int runSearch(const CliOptions& options, CVellickDoc& doc, std::ostream& out, std::ostream& err)
{
    const SearchRequest request = prepareSearch(options.panel);
    if (!request.criteria) {
        err << request.message << '\n';
        return kExitBadInput;
    }
    CliHost host(err, ::isatty(STDERR_FILENO) == 1);
    SearchRun run(doc, host);
    if (options.threads > 0)
        run.setScanThreads(options.threads - 1, true);
    else
        run.setScanThreads(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1, true);
    g_interrupted = 0;
    auto previous = std::signal(SIGINT, onInterrupt);
    run.start(*request.criteria, options.settings);
    while (run.step(kStepBudget)) {
        if (g_interrupted)
            run.stop();
    }
    std::signal(SIGINT, previous);
    host.clearProgress();
    printRows(doc, options.printHits, out);
    out.flush();
    err << host.lastStatusText() << '\n';
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

    CVellickDoc doc(fileTypes);
    if (options.listedFile && !loadListedFiles(*options.listedFile, doc))
        return badInput(err, "cannot read the list of files '" + *options.listedFile + "'");
    return runSearch(options, doc, out, err);
}

} // namespace vellick
