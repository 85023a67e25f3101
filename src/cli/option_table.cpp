#include "cli/option_table.h"

#include <iterator>

namespace vellick {

namespace {

using A = OptionArgument;
using O = OptionId;

constexpr OptionRow group(const char* title)
{
    return { title, {} };
}

constexpr OptionRow row(O id, char shortName, const char* longName, A argument, const char* valueName, const char* help)
{
    return { nullptr, { id, shortName, longName, argument, valueName, help } };
}

// clang-format off
const OptionRow kRows[] = {
    group("What to find:"),
    row(O::Keyword, 'e', "keyword", A::Required, "KEYWORD", "a keyword; repeat it for several (any of them is enough)"),
    row(O::Regex, 'E', "regex", A::None, nullptr, "the keywords are one regular expression; several -e: any of them"),
    row(O::IgnoreCase, 'i', "ignore-case", A::None, nullptr, "letter case does not matter (the default)"),
    row(O::CaseSensitive, 's', "case-sensitive", A::None, nullptr, "letter case must match"),
    row(O::CaseSensitive, '\0', "match-case", A::None, nullptr, "same as --case-sensitive"),
    row(O::WordRegexp, 'w', "word-regexp", A::None, nullptr, "match whole words only"),
    row(O::WordRegexp, '\0', "whole-word", A::None, nullptr, "same as --word-regexp"),
    row(O::AllWords, '\0', "all", A::None, nullptr, "a file must hold every word (the default)"),
    row(O::AnyWord, '\0', "any", A::None, nullptr, "a file must hold any one of the words"),
    row(O::Phrase, '\0', "phrase", A::None, nullptr, "the keywords are one phrase, spaces included"),
    row(O::Mode, '\0', "mode", A::Required, "MODE", "all, any or phrase: the same as the three above"),
    row(O::Unicode, '\0', "unicode", A::None, nullptr, "also find 16-bit Unicode text"),
    row(O::MaxCount, 'm', "max-count", A::Required, "NUM", "hits kept per file, 1 to 1024 (default 1024)"),
    row(O::MaxCount, 'k', "max-hits", A::Required, "NUM", "same as --max-count"),
    row(O::FilesWithoutMatch, 'L', "files-without-match", A::None, nullptr, "find the files that do NOT hold the keywords"),
    group("Where to look:"),
    row(O::Folder, 'd', "folder", A::Required, "DIR", "a folder to search; repeat it for several (default: the current one)"),
    row(O::Glob, 'g', "glob", A::Required, "PATTERNS", "file name patterns, split by \",\" or \";\"; \"!\" first excludes (default *.*)"),
    row(O::Glob, '\0', "files", A::Required, "PATTERNS", "same as --glob"),
    row(O::ExcludeDir, '\0', "exclude-dir", A::Required, "PATTERN", "never enter folders of this name or path below the folder (repeatable)"),
    row(O::MinSize, '\0', "min-size", A::Required, "SIZE", "only files of at least SIZE bytes (K, M, G: 1024, 1024^2, 1024^3)"),
    row(O::MaxSize, '\0', "max-size", A::Required, "SIZE", "only files of at most SIZE bytes"),
    row(O::Newer, '\0', "newer", A::Required, "DATE", "only files modified on or after DATE (YYYY-MM-DD, or Nd: N days ago)"),
    row(O::Older, '\0', "older", A::Required, "DATE", "only files modified before DATE"),
    row(O::Binary, '\0', "binary", A::None, nullptr, "search binary files too (the default)"),
    row(O::NoBinary, 'I', "no-binary", A::None, nullptr, "skip files whose first block is binary"),
    row(O::Gitignore, '\0', "gitignore", A::None, nullptr, "skip what .gitignore files ignore (off by default, unlike ripgrep, as in the window)"),
    row(O::Recursive, 'r', "recursive", A::None, nullptr, "search sub-folders too (the default)"),
    row(O::Recursive, '\0', "subfolders", A::None, nullptr, "same as --recursive"),
    row(O::MaxDepth, '\0', "max-depth", A::Required, "NUM", "go at most NUM folders deep (0: the folder's own files)"),
    row(O::Hidden, '\0', "hidden", A::None, nullptr, "search hidden files too (names that begin with \".\")"),
    row(O::Documents, 'z', "documents", A::None, nullptr, "search the text of PDF and office files and inside zip, tar and compressed files"),
    row(O::Listed, '\0', "listed", A::Required, "FILE", "re-check only the files listed in FILE, one path a line"),
    row(O::Threads, 'j', "threads", A::Required, "NUM", "scan with NUM threads, up to 256 (default 0: one per processor, more while files come from disk)"),
    group("What to print:"),
    row(O::FilesWithMatches, 'l', "files-with-matches", A::None, nullptr, "the path of each found file (the default)"),
    row(O::Count, 'c', "count", A::None, nullptr, "PATH:HITS for each found file; \"+\" after HITS at the limit"),
    row(O::LineNumber, 'n', "line-number", A::None, nullptr, "PATH:LINE:TEXT for each line around a hit (binary: byte offset)"),
    row(O::Color, '\0', "color", A::Optional, "WHEN", "keywords in red: auto (on a terminal), always or never"),
    row(O::Color, '\0', "colour", A::Optional, "WHEN", "same as --color"),
    row(O::Json, '\0', "json", A::None, nullptr, "one JSON object per found file"),
    row(O::Json, '\0', "hits", A::None, nullptr, "same as --json"),
    row(O::Context, '\0', "context", A::None, nullptr, "each path followed by its lines as the window shows them"),
    row(O::NoLineNumbers, '\0', "no-line-numbers", A::None, nullptr, "display lines of --context and reports without line numbers"),
    row(O::Quiet, 'q', "quiet", A::None, nullptr, "print nothing; stop at the first found file"),
    row(O::Relative, '\0', "relative", A::None, nullptr, "paths relative to the folder searched"),
    group("Report:"),
    row(O::Report, '\0', "report", A::Required, "FILE", "also write a report of every found file to FILE"),
    row(O::Format, '\0', "format", A::Required, "FORMAT", "the report's format: csv, import or text (default csv)"),
    row(O::Include, '\0', "include", A::Required, "LIST", "its columns: path,type,size,modified,hits,keywords,context"),
    group("Other:"),
    row(O::Help, 'h', "help", A::None, nullptr, "show this help and exit"),
    row(O::Version, 'V', "version", A::None, nullptr, "show the version and exit"),
};
// clang-format on

constexpr std::size_t kHelpColumn = 32;

std::string optionColumn(const OptionEntry& entry)
{
    std::string text = "  ";
    text += entry.shortName ? std::string("-") + entry.shortName + ", " : std::string("    ");
    text += std::string("--") + entry.longName;
    if (entry.argument == A::Required)
        text += std::string("=") + entry.valueName;
    else if (entry.argument == A::Optional)
        text += std::string("[=") + entry.valueName + "]";
    return text;
}

} // namespace

const OptionRow* optionRowsBegin()
{
    return std::begin(kRows);
}

const OptionRow* optionRowsEnd()
{
    return std::end(kRows);
}

const OptionEntry* findLongOption(std::string_view name, bool& ambiguous)
{
    ambiguous = false;
    const OptionEntry* prefixMatch = nullptr;
    for (const OptionRow& option : kRows) {
        if (option.groupTitle)
            continue;
        const std::string_view longName = option.entry.longName;
        if (longName == name)
            return &option.entry;
        if (longName.substr(0, name.size()) != name)
            continue;
        // Abbreviations of two spellings of one option are not ambiguous.
        if (prefixMatch && prefixMatch->id != option.entry.id)
            ambiguous = true;
        prefixMatch = prefixMatch ? prefixMatch : &option.entry;
    }
    return ambiguous ? nullptr : prefixMatch;
}

const OptionEntry* findShortOption(char name)
{
    for (const OptionRow& option : kRows) {
        if (!option.groupTitle && name != '\0' && option.entry.shortName == name)
            return &option.entry;
    }
    return nullptr;
}

std::string helpText()
{
    std::string text = "Usage: vellick-cli [options] [--] KEYWORD...\n"
                       "  or:  vellick-cli [options] -e KEYWORD [-e KEYWORD]... [--] [FOLDER]...\n"
                       "Prints the files under the folders that contain the keywords, as soon as each is found.\n"
                       "Without -e the arguments are the keywords, joined by single spaces; with -e they are the\n"
                       "folders to search.\n";
    for (const OptionRow& option : kRows) {
        if (option.groupTitle) {
            text += std::string("\n") + option.groupTitle + "\n";
            continue;
        }
        std::string line = optionColumn(option.entry);
        line += line.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - line.size(), ' ')
                                               : "\n" + std::string(kHelpColumn, ' ');
        text += line + option.entry.help + "\n";
    }
    text += "\nNumbers outside an option's range are taken as its nearest end. The summary goes to stderr.\n"
            "Exit status: 0 when a file was found, 1 when none, 2 on an error, 130 when interrupted.\n";
    return text;
}

} // namespace vellick
