#include "cli/cli_options.h"

#include "cli/option_table.h"

#include <algorithm>
#include <ctime>

namespace vellick {

namespace {

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

std::optional<ColorChoice> parseColor(const std::string& text)
{
    if (text == "auto")
        return ColorChoice::Auto;
    if (text == "always")
        return ColorChoice::Always;
    if (text == "never")
        return ColorChoice::Never;
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
            : name == "hits"        ? &options.includeHits
                                    : nullptr;
        if (flag)
            *flag = true;
        else if (!name.empty())
            return name;
    }
    return std::nullopt;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// Several expressions as one that any of them matches.
std::string alternatives(const std::vector<std::string>& expressions)
{
    if (expressions.size() == 1)
        return expressions.front();
    std::string text;
    for (const std::string& expression : expressions)
        text += (text.empty() ? "(?:" : "|(?:") + expression + ")";
    return text;
}

// Reads the arguments in order: options (long, with unique abbreviations, "=VALUE" or the next argument;
// short, clustered), "--" and plain arguments, which may come between options.
class Parser {
public:
    Parser(int argc, const char* const* argv)
        : m_args(argv + std::min(argc, 1), argv + std::max(argc, 0))
    {
        m_options.panel.filePatterns = "*.*";
    }

    CliParse parse();

private:
    bool parseLong(const std::string& arg);
    bool parseShortCluster(const std::string& arg);
    bool fail(std::string text);
    // Applies an option as it was spelled; false with the error set when its value is bad.
    bool apply(const OptionEntry& entry, const std::string& spelling, const std::string& value);
    bool applyOutput(const OptionEntry& entry, const std::string& spelling, const std::string& value);
    bool applyNumber(const std::string& spelling, const std::string& value, int low, int high, int& target);
    bool applyScope(const OptionEntry& entry, const std::string& spelling, const std::string& value);
    bool applyBound(const std::string& spelling, std::optional<int64_t> bound, const std::string& value,
        const char* allowed, std::optional<int64_t>& target);
    bool badValue(const std::string& spelling, const std::string& value, const char* allowed);
    bool finish();

    std::vector<std::string> m_args;
    std::size_t m_next = 0;
    CliOptions m_options;
    std::vector<std::string> m_plain;
    std::vector<std::string> m_keywords; // -e
    std::optional<MatchMode> m_mode;
    bool m_quiet = false;
    bool m_jsonAsked = false;
    bool m_contextAsked = false;
    bool m_globGiven = false; // -g given: later ones add their patterns
    int m_maxDepth = -1;
    std::string m_error;
};

CliParse Parser::parse()
{
    bool optionsEnded = false;
    while (m_next < m_args.size()) {
        const std::string arg = m_args[m_next++];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_plain.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (!(arg[1] == '-' ? parseLong(arg) : parseShortCluster(arg))) {
            return { std::nullopt, m_error };
        }
    }
    if (!finish())
        return { std::nullopt, m_error };
    return { std::move(m_options), {} };
}

bool Parser::fail(std::string text)
{
    m_error = std::move(text);
    return false;
}

bool Parser::parseLong(const std::string& arg)
{
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    bool ambiguous = false;
    const OptionEntry* entry = findLongOption(name, ambiguous);
    const std::string spelling = "--" + name;
    if (!entry)
        return fail(ambiguous ? "option '" + spelling + "' is ambiguous" : "unrecognized option '" + spelling + "'");
    const std::string full = std::string("--") + entry->longName;
    if (equals != std::string::npos) {
        if (entry->argument == OptionArgument::None)
            return fail("option '" + full + "' doesn't allow an argument");
        return apply(*entry, full, arg.substr(equals + 1));
    }
    if (entry->argument == OptionArgument::Required) {
        if (m_next == m_args.size())
            return fail("option '" + full + "' requires an argument");
        return apply(*entry, full, m_args[m_next++]);
    }
    return apply(*entry, full, {});
}

bool Parser::parseShortCluster(const std::string& arg)
{
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const OptionEntry* entry = findShortOption(arg[i]);
        if (!entry)
            return fail(std::string("invalid option -- '") + arg[i] + "'");
        const std::string spelling = std::string("-") + arg[i];
        if (entry->argument != OptionArgument::Required) {
            if (!apply(*entry, spelling, {}))
                return false;
            continue;
        }
        if (i + 1 < arg.size())
            return apply(*entry, spelling, arg.substr(i + 1));
        if (m_next == m_args.size())
            return fail(std::string("option requires an argument -- '") + arg[i] + "'");
        return apply(*entry, spelling, m_args[m_next++]);
    }
    return true;
}

bool Parser::badValue(const std::string& spelling, const std::string& value, const char* allowed)
{
    return fail("invalid argument '" + value + "' for '" + spelling + "' (" + allowed + ")");
}

bool Parser::applyNumber(const std::string& spelling, const std::string& value, int low, int high, int& target)
{
    const auto number = parseClampedInt(value, low, high);
    if (!number)
        return fail("invalid argument '" + value + "' for '" + spelling + "' (a number from " + std::to_string(low)
            + " to " + std::to_string(high) + ")");
    target = *number;
    return true;
}

bool Parser::apply(const OptionEntry& entry, const std::string& spelling, const std::string& value)
{
    PanelInput& panel = m_options.panel;
    switch (entry.id) {
    case OptionId::Keyword:
        m_keywords.push_back(value);
        return true;
    case OptionId::Regex:
        panel.regex = true;
        return true;
    case OptionId::IgnoreCase:
    case OptionId::CaseSensitive:
        panel.matchCase = entry.id == OptionId::CaseSensitive;
        return true;
    case OptionId::WordRegexp:
        panel.wholeWord = true;
        return true;
    case OptionId::AllWords:
    case OptionId::AnyWord:
    case OptionId::Phrase:
        m_mode = entry.id == OptionId::AllWords ? MatchMode::AllWords
            : entry.id == OptionId::AnyWord     ? MatchMode::AnyWord
                                                : MatchMode::WholePhrase;
        return true;
    case OptionId::Mode:
        m_mode = parseMode(value);
        return m_mode || badValue(spelling, value, "all, any or phrase");
    case OptionId::Unicode:
        panel.unicodeAware = true;
        return true;
    case OptionId::MaxCount:
        return applyNumber(spelling, value, kMinMaxKeys, kMaxMaxKeys, m_options.settings.maxKeys);
    case OptionId::Folder:
        m_options.folders.push_back(value);
        return true;
    case OptionId::Glob:
        panel.filePatterns = m_globGiven ? panel.filePatterns + ";" + value : value;
        m_globGiven = true;
        return true;
    case OptionId::Recursive:
        m_maxDepth = -1;
        return true;
    case OptionId::MaxDepth:
        return applyNumber(spelling, value, 0, kMaxWalkDepth, m_maxDepth);
    case OptionId::Hidden:
        m_options.settings.includeHidden = true;
        return true;
    case OptionId::Listed:
        m_options.listedFile = value;
        panel.listedFilesMode = true;
        return true;
    case OptionId::Threads:
        return applyNumber(spelling, value, 0, 256, m_options.threads);
    default:
        return applyScope(entry, spelling, value);
    }
}

// The options that choose which files are searched besides the folders and the patterns.
bool Parser::applyScope(const OptionEntry& entry, const std::string& spelling, const std::string& value)
{
    SearchScope& scope = m_options.panel.scope;
    constexpr const char* kSize = "a number of bytes, with K, M or G after it";
    constexpr const char* kDate = "a date YYYY-MM-DD, or Nd for N days ago";
    switch (entry.id) {
    case OptionId::FilesWithoutMatch:
        scope.filesWithoutHits = true;
        return true;
    case OptionId::ExcludeDir:
        for (std::string& pattern : splitNameList(value))
            scope.excludedFolders.push_back(std::move(pattern));
        return true;
    case OptionId::MinSize:
        return applyBound(spelling, parseByteSize(value), value, kSize, scope.minSize);
    case OptionId::MaxSize:
        return applyBound(spelling, parseByteSize(value), value, kSize, scope.maxSize);
    case OptionId::Newer:
        return applyBound(spelling, parseDateBound(value, std::time(nullptr)), value, kDate, scope.modifiedAfter);
    case OptionId::Older:
        return applyBound(spelling, parseDateBound(value, std::time(nullptr)), value, kDate, scope.modifiedBefore);
    case OptionId::Binary:
    case OptionId::NoBinary:
        scope.binaryFiles = entry.id == OptionId::Binary;
        return true;
    case OptionId::Gitignore:
        scope.gitignore = true;
        return true;
    default:
        return applyOutput(entry, spelling, value);
    }
}

bool Parser::applyBound(const std::string& spelling, std::optional<int64_t> bound, const std::string& value,
    const char* allowed, std::optional<int64_t>& target)
{
    if (!bound)
        return badValue(spelling, value, allowed);
    target = bound;
    return true;
}

bool Parser::applyOutput(const OptionEntry& entry, const std::string& spelling, const std::string& value)
{
    switch (entry.id) {
    case OptionId::FilesWithMatches:
        m_options.output = OutputMode::Paths;
        return true;
    case OptionId::Count:
        m_options.output = OutputMode::Counts;
        return true;
    case OptionId::LineNumber:
        m_options.output = OutputMode::Lines;
        return true;
    case OptionId::Json:
        m_options.output = OutputMode::Json;
        m_jsonAsked = true;
        return true;
    case OptionId::Context:
        m_options.output = OutputMode::Context;
        m_contextAsked = true;
        return true;
    case OptionId::Color: {
        const auto color = parseColor(value.empty() ? "auto" : value);
        m_options.color = color.value_or(ColorChoice::Auto);
        return color || badValue(spelling, value, "auto, always or never");
    }
    case OptionId::NoLineNumbers:
        m_options.showLineNumbers = false;
        return true;
    case OptionId::Quiet:
        m_quiet = true;
        return true;
    case OptionId::Relative:
        m_options.relativePaths = true;
        return true;
    case OptionId::Report:
        m_options.reportPath = value;
        return true;
    case OptionId::Format: {
        const auto format = parseReportFormat(value);
        m_options.reportFormat = format.value_or(ReportFormat::Csv);
        return format || badValue(spelling, value, "csv, import or text");
    }
    case OptionId::Include:
        if (auto bad = parseReportColumns(value, m_options.reportOptions))
            return fail("invalid report column '" + *bad + "' for '" + spelling
                + "' (path, type, size, modified, keywords or context)");
        return true;
    case OptionId::Help:
        m_options.showHelp = true;
        return true;
    case OptionId::Version:
        m_options.showVersion = true;
        return true;
    default:
        return fail("unhandled option '" + spelling + "'");
    }
}

bool Parser::finish()
{
    PanelInput& panel = m_options.panel;
    if (m_keywords.empty()) {
        panel.keywordText = joined(m_plain);
    } else {
        panel.keywordText = panel.regex ? alternatives(m_keywords) : joined(m_keywords);
        m_options.folders.insert(m_options.folders.end(), m_plain.begin(), m_plain.end());
    }
    // Several -e keywords are alternatives unless a mode says otherwise.
    panel.matchMode = m_mode.value_or(m_keywords.empty() ? MatchMode::AllWords : MatchMode::AnyWord);
    panel.subFolders = m_maxDepth != 0;
    m_options.settings.maxDepth = m_maxDepth;
    if (m_quiet)
        m_options.output = OutputMode::Quiet;
    if (m_jsonAsked && m_contextAsked)
        return fail("--json and --context cannot be combined");
    return true;
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

CliParse parseCliOptions(int argc, const char* const* argv)
{
    return Parser(argc, argv).parse();
}

} // namespace vellick
