#include "cli/cli_options.h"

#include <algorithm>
#include <getopt.h>

namespace vellick {

const char* const kCliUsage = R"(Usage: vellick-cli [options] [--] KEYWORD...
Finds the files that contain the keywords (the KEYWORD arguments joined by single spaces).

  -d, --folder DIR       starting folder (default: the current directory)
  -p, --files TEXT       file patterns, separated by "," or ";" (default "*.*")
  -s, --subfolders       search sub-folders (also -r, --recursive)
  -c, --match-case       letter case must match
  -w, --whole-word       match whole words only
  -u, --unicode          also find 16-bit Unicode text
  -m, --mode MODE        all, any or phrase: how several words combine (default all)
  -H, --hidden           include hidden files
  -k, --max-hits N       hits recorded per file, 1 to 1024 (default 1024)
  -l, --listed FILE      re-check only the files listed in FILE, one path a line
      --hits             print one JSON object per found file
      --threads N        scan with N threads (default: one per processor)
      --context          each found path followed by its display lines (the text pane's lines)
      --no-line-numbers  display lines and report lines without the line-number prefix
  -o, --report FILE      write a report of every found file (every row counts as checked;
                         no row is highlighted)
      --format FORMAT    the report format: csv, import or text (default csv)
      --include LIST     the report's columns, comma-separated: path,type,size,modified,keywords,context
  -h, --help             show this help
      --version          show the version

Prints the found files' paths in order, the summary on stderr. No report is written when nothing is found.
Exit status: 0 when a file was found, 1 when none, 2 on bad input or when the report cannot be written.
)";

namespace {

enum LongOnly { OptHits = 256, OptVersion, OptContext, OptNoLineNumbers, OptFormat, OptInclude, OptThreads };

const option kLongOptions[] = {
    { "folder", required_argument, nullptr, 'd' },
    { "files", required_argument, nullptr, 'p' },
    { "subfolders", no_argument, nullptr, 's' },
    { "recursive", no_argument, nullptr, 'r' },
    { "match-case", no_argument, nullptr, 'c' },
    { "whole-word", no_argument, nullptr, 'w' },
    { "unicode", no_argument, nullptr, 'u' },
    { "mode", required_argument, nullptr, 'm' },
    { "hidden", no_argument, nullptr, 'H' },
    { "max-hits", required_argument, nullptr, 'k' },
    { "listed", required_argument, nullptr, 'l' },
    { "hits", no_argument, nullptr, OptHits },
    { "threads", required_argument, nullptr, OptThreads },
    { "context", no_argument, nullptr, OptContext },
    { "no-line-numbers", no_argument, nullptr, OptNoLineNumbers },
    { "report", required_argument, nullptr, 'o' },
    { "format", required_argument, nullptr, OptFormat },
    { "include", required_argument, nullptr, OptInclude },
    { "help", no_argument, nullptr, 'h' },
    { "version", no_argument, nullptr, OptVersion },
    { nullptr, 0, nullptr, 0 },
};

std::optional<MatchMode> parseMode(const std::string& text)
{
    if (text == "all")
        return MatchMode::AllWords;
    if (text == "any")
        return MatchMode::AnyWord;
    if (text == "phrase")
        return MatchMode::WholePhrase;
    return std::nullopt;
}

std::optional<ReportFormat> parseReportFormat(const std::string& text)
{
    if (text == "csv")
        return ReportFormat::Csv;
    if (text == "import")
        return ReportFormat::Import;
    if (text == "text")
        return ReportFormat::PlainText;
    return std::nullopt;
}

// The report columns named in a comma-separated list; the name that is not one when there is one.
std::optional<std::string> parseReportColumns(const std::string& list, ReportOptions& options)
{
    options = {};
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, comma - start);
        start = comma + 1;
        bool* flag = name == "path" ? &options.includePath
            : name == "type"        ? &options.includeType
            : name == "size"        ? &options.includeSize
            : name == "modified"    ? &options.includeModified
            : name == "keywords"    ? &options.includeKeywords
            : name == "context"     ? &options.includeContext
                                    : nullptr;
        if (flag)
            *flag = true;
        else if (!name.empty())
            return name;
    }
    return std::nullopt;
}

// Applies an option about what is printed or written.
std::optional<std::string> applyOutputOption(int option, const char* argument, CliOptions& options)
{
    switch (option) {
    case OptHits:
        options.printHits = true;
        break;
    case OptContext:
        options.printContext = true;
        break;
    case OptNoLineNumbers:
        options.showLineNumbers = false;
        break;
    case 'o':
        options.reportPath = argument;
        break;
    case OptFormat: {
        const auto format = parseReportFormat(argument);
        if (!format)
            return std::string("invalid report format '") + argument + "' (csv, import or text)";
        options.reportFormat = *format;
        break;
    }
    case OptInclude:
        if (auto bad = parseReportColumns(argument, options.reportOptions))
            return "invalid report column '" + *bad + "' (path, type, size, modified, keywords or context)";
        break;
    }
    return std::nullopt;
}

// Applies one option; an error text when its argument is bad.
std::optional<std::string> applyOption(int option, const char* argument, CliOptions& options)
{
    switch (option) {
    case 'd':
        options.panel.folder = argument;
        break;
    case 'p':
        options.panel.filePatterns = argument;
        break;
    case 's':
    case 'r':
        options.panel.subFolders = true;
        break;
    case 'c':
        options.panel.matchCase = true;
        break;
    case 'w':
        options.panel.wholeWord = true;
        break;
    case 'u':
        options.panel.unicodeAware = true;
        break;
    case 'm': {
        const auto mode = parseMode(argument);
        if (!mode)
            return std::string("invalid mode '") + argument + "' (all, any or phrase)";
        options.panel.matchMode = *mode;
        break;
    }
    case 'H':
        options.settings.includeHidden = true;
        break;
    case 'k': {
        const auto limit = parseClampedInt(argument, kMinMaxKeys, kMaxMaxKeys);
        if (!limit)
            return std::string("invalid hit limit '") + argument + "'";
        options.settings.maxKeys = *limit;
        break;
    }
    case 'l':
        options.listedFile = argument;
        options.panel.listedFilesMode = true;
        break;
    case OptThreads: {
        const auto threads = parseClampedInt(argument, 1, 256);
        if (!threads)
            return std::string("invalid thread count '") + argument + "'";
        options.threads = *threads;
        break;
    }
    case OptHits:
    case OptContext:
    case OptNoLineNumbers:
    case 'o':
    case OptFormat:
    case OptInclude:
        return applyOutputOption(option, argument, options);
    case 'h':
        options.showHelp = true;
        break;
    case OptVersion:
        options.showVersion = true;
        break;
    default:
        return std::string("unknown option");
    }
    return std::nullopt;
}

} // namespace

std::optional<int> parseClampedInt(const std::string& text, int low, int high)
{
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        pos = 1;
    if (pos == text.size())
        return std::nullopt;
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9')
            return std::nullopt;
        value = std::min<long long>(value * 10 + (text[pos] - '0'), 1LL << 40);
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

CliParse parseCliOptions(int argc, char** argv)
{
    CliParse parse;
    CliOptions options;
    options.panel.filePatterns = "*.*";
    opterr = 0;
    optind = 0; // also resets getopt's state, so the parser can run more than once
    int option = 0;
    while ((option = getopt_long(argc, argv, ":d:p:srcwum:Hk:l:o:h", kLongOptions, nullptr)) != -1) {
        if (option == '?' || option == ':') {
            const std::string name
                = optopt ? std::string("-") + static_cast<char>(optopt) : std::string(argv[optind - 1]);
            parse.error = (option == ':' ? "option requires an argument: " : "unknown option: ") + name;
            return parse;
        }
        if (auto error = applyOption(option, optarg, options)) {
            parse.error = *error;
            return parse;
        }
    }
    if (options.printHits && options.printContext) {
        parse.error = "--hits and --context cannot be combined";
        return parse;
    }
    std::string keywords;
    for (int i = optind; i < argc; ++i) {
        if (i > optind)
            keywords.push_back(' ');
        keywords += argv[i];
    }
    options.panel.keywordText = keywords;
    parse.options = std::move(options);
    return parse;
}

} // namespace vellick
