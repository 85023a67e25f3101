// vellick-cli's option parser: grep's and ripgrep's meanings, the old long spellings, and the errors.

#include "cli/cli_options.h"
#include "cli/option_table.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

const char* modeName(MatchMode mode)
{
    return mode == MatchMode::AllWords ? "all" : mode == MatchMode::AnyWord ? "any" : "phrase";
}

const char* outputName(OutputMode mode)
{
    static const char* const kNames[] = { "paths", "counts", "lines", "json", "context", "quiet" };
    return kNames[static_cast<int>(mode)];
}

std::string bound(const char* name, const std::optional<int64_t>& value)
{
    return value ? std::string(" ") + name + "=" + std::to_string(*value) : "";
}

// The scope's settings that differ from their defaults.
std::string describeScope(const SearchScope& s)
{
    std::string text;
    for (const std::string& folder : s.excludedFolders)
        text += " exclude-dir=" + folder;
    text += bound("min", s.minSize) + bound("max", s.maxSize) + bound("after", s.modifiedAfter)
        + bound("before", s.modifiedBefore);
    return text + (s.binaryFiles ? "" : " no-binary") + (s.gitignore ? " gitignore" : "")
        + (s.filesWithoutHits ? " without-match" : "");
}

// The parsed options that the cases look at, as one line.
std::string describe(const CliOptions& o)
{
    std::string text = "keywords=[" + o.panel.keywordText + "] mode=" + modeName(o.panel.matchMode);
    text += std::string(o.panel.regex ? " regex" : "") + (o.panel.matchCase ? " case" : "")
        + (o.panel.wholeWord ? " word" : "") + (o.panel.unicodeAware ? " unicode" : "")
        + (o.settings.includeHidden ? " hidden" : "");
    text += o.panel.subFolders ? " depth=" + std::to_string(o.settings.maxDepth) : " no-subfolders";
    text += " glob=[" + o.panel.filePatterns + "] max=" + std::to_string(o.settings.maxKeys);
    for (const std::string& folder : o.folders)
        text += " folder=" + folder;
    if (o.listedFile)
        text += " listed=" + *o.listedFile + (o.panel.listedFilesMode ? "" : "(off)");
    text += std::string(" out=") + outputName(o.output);
    text += o.color == ColorChoice::Always ? " color" : o.color == ColorChoice::Never ? " no-color" : "";
    text += std::string(o.relativePaths ? " relative" : "") + (o.showLineNumbers ? "" : " no-numbers");
    text += o.threads ? " threads=" + std::to_string(o.threads) : "";
    text += o.reportPath ? " report=" + *o.reportPath : "";
    text += describeScope(o.panel.scope);
    return text + (o.showHelp ? " help" : "") + (o.showVersion ? " version" : "");
}

std::string parse(std::vector<std::string> args)
{
    std::vector<const char*> argv { "vellick-cli" };
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    const CliParse parse = parseCliOptions(static_cast<int>(argv.size()), argv.data());
    return parse.options ? describe(*parse.options) : "error: " + parse.error;
}

const std::string kDefaults = " glob=[*.*] max=1024";

struct ParseCase {
    std::vector<std::string> args;
    std::string expected;
};

} // namespace

TEST(CliOptions, GrepAndRipgrepMeanings)
{
    const ParseCase cases[] = {
        { { "fox", "dog" }, "keywords=[fox dog] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "-i", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "-s", "fox" }, "keywords=[fox] mode=all case depth=-1" + kDefaults + " out=paths" },
        { { "-s", "-i", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "-swr", "fox" }, "keywords=[fox] mode=all case word depth=-1" + kDefaults + " out=paths" },
        { { "-e", "fox", "-e", "dog", "src", "lib" },
            "keywords=[fox dog] mode=any depth=-1" + kDefaults + " folder=src folder=lib out=paths" },
        { { "-e", "fox", "--all", "src" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " folder=src out=paths" },
        { { "-E", "mutex_(un)?lock" },
            "keywords=[mutex_(un)?lock] mode=all regex depth=-1" + kDefaults + " out=paths" },
        { { "-E", "-e", "a|b", "-e", "c+", "src" },
            "keywords=[(?:a|b)|(?:c+)] mode=any regex depth=-1" + kDefaults + " folder=src out=paths" },
        { { "--phrase", "lazy", "dog" }, "keywords=[lazy dog] mode=phrase depth=-1" + kDefaults + " out=paths" },
        { { "--max-depth", "0", "fox" }, "keywords=[fox] mode=all no-subfolders" + kDefaults + " out=paths" },
        { { "--max-depth=2", "-r", "--max-depth", "3", "fox" },
            "keywords=[fox] mode=all depth=3" + kDefaults + " out=paths" },
        { { "-g", "*.c;*.h", "--hidden", "-m5", "fox" },
            "keywords=[fox] mode=all hidden depth=-1 glob=[*.c;*.h] max=5 out=paths" },
        { { "-c", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=counts" },
        { { "-n", "--color=always", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=lines color" },
        { { "-n", "--color", "never", "fox" }, // --color's value is optional: "never" is a keyword here
            "keywords=[never fox] mode=all depth=-1" + kDefaults + " out=lines" },
        { { "-c", "-l", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "--json", "-q", "-n", "fox" }, "keywords=[fox] mode=all depth=-1" + kDefaults + " out=quiet" },
        { { "-j", "4", "--relative", "-d", "a", "-d", "b", "fox" },
            "keywords=[fox] mode=all depth=-1" + kDefaults + " folder=a folder=b out=paths relative threads=4" },
        { { "fox", "--", "-n" }, "keywords=[fox -n] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "-", "fox" }, "keywords=[- fox] mode=all depth=-1" + kDefaults + " out=paths" },
        { { "-V" }, "keywords=[] mode=all depth=-1" + kDefaults + " out=paths version" },
        { { "--vers" }, "keywords=[] mode=all depth=-1" + kDefaults + " out=paths version" },
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(parse(c.args), c.expected) << testing::PrintToString(c.args);
}

TEST(CliOptions, ScopeOptions)
{
    const std::string start = "keywords=[fox] mode=all depth=-1 glob=";
    const ParseCase cases[] = {
        { { "-g", "*.c", "-g", "!*_test.c", "--exclude-dir", "build", "--exclude-dir=a/b;*.egg-info", "fox" },
            start + "[*.c;!*_test.c] max=1024 out=paths exclude-dir=build exclude-dir=a/b exclude-dir=*.egg-info" },
        { { "--min-size", "2k", "--max-size=1M", "--newer", "2026-01-02", "--older", "0d", "fox" },
            start + "[*.*] max=1024 out=paths min=2048 max=1048576 after="
                + std::to_string(*parseDateBound("2026-01-02", 0)) + " before=" },
        { { "-I", "--gitignore", "-L", "fox" }, start + "[*.*] max=1024 out=paths no-binary gitignore without-match" },
        { { "--no-binary", "--binary", "--files-without-match", "-l", "fox" },
            start + "[*.*] max=1024 out=paths without-match" },
    };
    for (const ParseCase& c : cases) {
        const std::string parsed = parse(c.args);
        // "0d" is the moment of parsing: only its presence is compared.
        EXPECT_EQ(parsed.substr(0, c.expected.size()), c.expected) << testing::PrintToString(c.args);
    }
}

TEST(CliOptions, OldLongSpellingsStillWork)
{
    const ParseCase cases[] = {
        { { "--folder", "src", "--files", "*.md", "--subfolders", "--match-case", "--whole-word", "--unicode", "fox" },
            "keywords=[fox] mode=all case word unicode depth=-1 glob=[*.md] max=1024 folder=src out=paths" },
        { { "--mode", "any", "--max-hits", "7", "--hits", "fox", "dog" },
            "keywords=[fox dog] mode=any depth=-1 glob=[*.*] max=7 out=json" },
        { { "--listed", "list.txt", "--report", "r.csv", "--context", "--no-line-numbers", "fox" },
            "keywords=[fox] mode=all depth=-1" + kDefaults + " listed=list.txt out=context no-numbers report=r.csv" },
        { { "-k", "2", "fox" }, "keywords=[fox] mode=all depth=-1 glob=[*.*] max=2 out=paths" },
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(parse(c.args), c.expected) << testing::PrintToString(c.args);
}

TEST(CliOptions, NumbersAreClampedIntoTheirRange)
{
    EXPECT_EQ(parse({ "-m", "0", "fox" }), "keywords=[fox] mode=all depth=-1 glob=[*.*] max=1 out=paths");
    EXPECT_EQ(parse({ "-m", "99999", "fox" }), "keywords=[fox] mode=all depth=-1 glob=[*.*] max=1024 out=paths");
    EXPECT_EQ(
        parse({ "-j", "100000", "fox" }), "keywords=[fox] mode=all depth=-1" + kDefaults + " out=paths threads=256");
    EXPECT_EQ(
        parse({ "--max-depth", "-4", "fox" }), "keywords=[fox] mode=all no-subfolders" + kDefaults + " out=paths");
}

TEST(CliOptions, ErrorsNameTheOptionAndWhatItTakes)
{
    const ParseCase cases[] = {
        { { "--format" }, "error: option '--format' requires an argument" },
        { { "fox", "-d" }, "error: option requires an argument -- 'd'" },
        { { "--json=yes", "fox" }, "error: option '--json' doesn't allow an argument" },
        { { "--hits=1", "fox" }, "error: option '--hits' doesn't allow an argument" },
        { { "--bogus", "fox" }, "error: unrecognized option '--bogus'" },
        { { "--co", "fox" }, "error: option '--co' is ambiguous" },
        { { "-x", "fox" }, "error: invalid option -- 'x'" },
        { { "-H", "fox" }, "error: invalid option -- 'H'" },
        { { "-p", "*.c", "fox" }, "error: invalid option -- 'p'" },
        { { "-u", "fox" }, "error: invalid option -- 'u'" },
        { { "-o", "r.csv", "fox" }, "error: invalid option -- 'o'" },
        { { "-m", "abc", "fox" }, "error: invalid argument 'abc' for '-m' (a number from 1 to 1024)" },
        { { "--max-count=", "fox" }, "error: invalid argument '' for '--max-count' (a number from 1 to 1024)" },
        { { "-j", "5x", "fox" }, "error: invalid argument '5x' for '-j' (a number from 0 to 256)" },
        { { "--max-depth", "deep" }, "error: invalid argument 'deep' for '--max-depth' (a number from 0 to 1000000)" },
        { { "--mode", "some", "fox" }, "error: invalid argument 'some' for '--mode' (all, any or phrase)" },
        { { "--color=red", "fox" }, "error: invalid argument 'red' for '--color' (auto, always or never)" },
        { { "--format", "xml", "fox" }, "error: invalid argument 'xml' for '--format' (csv, import or text)" },
        { { "--hits", "--context", "fox" }, "error: --json and --context cannot be combined" },
        { { "--min-size", "12Q", "fox" },
            "error: invalid argument '12Q' for '--min-size' (a number of bytes, with K, M or G after it)" },
        { { "--max-size=", "fox" },
            "error: invalid argument '' for '--max-size' (a number of bytes, with K, M or G after it)" },
        { { "--newer", "yesterday", "fox" },
            "error: invalid argument 'yesterday' for '--newer' (a date YYYY-MM-DD, or Nd for N days ago)" },
        { { "--older=2026-02-30", "fox" },
            "error: invalid argument '2026-02-30' for '--older' (a date YYYY-MM-DD, or Nd for N days ago)" },
        { { "--include", "path,owner", "fox" },
            "error: invalid report column 'owner' for '--include' (path, type, size, modified, keywords or context)" },
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(parse(c.args), c.expected) << testing::PrintToString(c.args);
}

// --help is made from the table: every option shows, each on a line of the form help2man reads.
TEST(CliOptions, HelpListsEveryOptionOfTheTable)
{
    const std::string help = helpText();
    for (const OptionRow* row = optionRowsBegin(); row != optionRowsEnd(); ++row) {
        if (row->groupTitle) {
            EXPECT_NE(help.find(std::string("\n") + row->groupTitle + "\n"), std::string::npos) << row->groupTitle;
            continue;
        }
        std::string start = row->entry.shortName ? std::string("  -") + row->entry.shortName + ", --" : "      --";
        EXPECT_NE(help.find("\n" + start + row->entry.longName), std::string::npos) << row->entry.longName;
    }
}
