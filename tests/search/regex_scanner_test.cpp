// The matching rules of regular-expression searches, the long-line and hit-limit edges of the scanner,
// and the refusal of an invalid expression.

#include "search/regex_byte_run.h"
#include "search/regex_matcher.h"
#include "search/search_options.h"
#include "search/search_request.h"
#include "support/current_directory_guard.h"
#include "support/plan_scanner.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

struct HitValues {
    uint64_t offset;
    uint32_t length;
    uint64_t line;
    bool operator==(const HitValues&) const = default;
};

std::ostream& operator<<(std::ostream& out, const HitValues& hit)
{
    return out << "{" << hit.offset << "," << hit.length << "," << hit.line << "}";
}

using Hits = std::vector<HitValues>;

Hits hitsOf(const ScanResult& result)
{
    Hits values;
    for (const Hit& hit : result.hits)
        values.push_back({ hit.offset, hit.length, hit.line });
    return values;
}

Hits scanText(
    const TempTree& tree, const std::string& expression, uint32_t flags, const std::string& data, int maxKeys = 1024)
{
    const std::string path = tree.write("file.bin", data);
    PlanScanner scanner(expression, flags | Regex, maxKeys);
    return hitsOf(scanner.scan(path));
}

// Every non-overlapping occurrence of `word` in `data`, as hits.
Hits occurrences(const std::string& data, const std::string& word)
{
    Hits hits;
    for (std::size_t at = data.find(word); at != std::string::npos; at = data.find(word, at + word.size())) {
        const auto line = static_cast<uint64_t>(std::count(data.begin(), data.begin() + at, '\n'));
        hits.push_back({ at, static_cast<uint32_t>(word.size()), line });
    }
    return hits;
}

} // namespace

TEST(RegexScanner, MatchesLinesByTheRules)
{
    // " dog " in 16-bit little-endian text, after a byte that is not part of it.
    const std::string wide = std::string("\0 \0d\0o\0g\0 \0", 11);
    struct Case {
        const char* name;
        std::string expression;
        uint32_t flags;
        std::string data;
        Hits expected;
    };
    const std::vector<Case> cases = {
        { "line counts", "b+", 0, "abbb\nbb", { { 1, 3, 0 }, { 5, 2, 1 } } },
        { "^ at line starts only", "^a", 0, "aa\na", { { 0, 1, 0 }, { 3, 1, 1 } } },
        { "$ at line ends and the file's end", "a$", 0, "aa\r\naa\na", { { 5, 1, 1 }, { 7, 1, 2 } } },
        { "no empty hits", "x*", 0, "axxb", { { 1, 2, 0 } } },
        { "no line feed in a hit", "a.c|[^x]+", 0, "a\nc", { { 0, 1, 0 }, { 2, 1, 1 } } },
        { "case folding", "Straße", IgnoreCase, "STRASSE strasse STRAßE", { { 16, 7, 0 } } },
        { "non-ASCII letters fold", "émile", IgnoreCase, "ÉMILE", { { 0, 6, 0 } } },
        { "match case", "abc", 0, "ABC abc", { { 4, 3, 0 } } },
        { "leftmost-first alternation", "ab|abcd", 0, "abcd", { { 0, 2, 0 } } },
        { "whole word: the delimiter after a hit is its own", "foo", WholeWord, "foo foo.foo_foo ",
            { { 0, 3, 0 }, { 8, 3, 0 } } },
        { "whole word: not at the file's end", "foo", WholeWord, "x foo", {} },
        { "whole word: the line feed after it counts", "foo", WholeWord, "x foo\n", { { 2, 3, 1 } } },
        { "whole word: only the preferred match at a start is tried", "ab|abc", WholeWord, "abc abd ab ",
            { { 8, 2, 0 } } },
        { "whole word: bytes above 0x7F are delimiters", "caf", WholeWord, "caf\xc3\xa9 ", { { 0, 3, 0 } } },
        { "16-bit text from the zero byte before", "dog", UnicodeAware, wide, { { 2, 6, 0 } } },
        { "16-bit whole word from the delimiter before", "dog", UnicodeAware | WholeWord, wide, { { 1, 8, 0 } } },
        { "16-bit text is not matched without unicode aware", "dog", 0, wide, {} },
        { "16-bit line feeds end lines", "a.b", UnicodeAware, std::string("\0a\0\n\0b", 6), {} },
        // Only lines holding a literal every match holds are matched: the others must lose nothing.
        { "literals in any case, lines without them passed over", "kmalloc|kfree", IgnoreCase,
            "x\nKMALLOC kFree\nkmallo\nkfre", { { 2, 7, 1 }, { 10, 5, 1 } } },
        // (a byte above 0x7F among the first 256 makes a binary file: no line counts)
        { "the Kelvin sign folds with k", "kfree", IgnoreCase,
            "a\n\xE2\x84\xAA"
            "free",
            { { 2, 7, 0 } } },
        { "the long s folds with s", "unlocks", IgnoreCase, "unlock\xC5\xBF", { { 0, 8, 0 } } },
        { "a literal's line keeps its ^ and $", "^mutex_(un)?lock$", 0, "zmutex_lock\nmutex_unlock\nmutex_lock",
            { { 12, 12, 1 }, { 25, 10, 2 } } },
        { "a match after a failed literal line", "x+abc", 0, "abc\nxxabc", { { 4, 5, 1 } } },
    };
    TempTree tree;
    for (const Case& c : cases)
        EXPECT_EQ(scanText(tree, c.expression, c.flags, c.data), c.expected) << c.name;
}

TEST(RegexScanner, KeepsTheFirstHitsUpToTheLimit)
{
    TempTree tree;
    EXPECT_EQ(scanText(tree, "a", 0, "aaaaa", 3), (Hits { { 0, 1, 0 }, { 1, 1, 0 }, { 2, 1, 0 } }));
    // Plain and 16-bit hits are merged in file order before the limit applies.
    const std::string mixed = std::string("\0a\0a ab ab", 10);
    EXPECT_EQ(scanText(tree, "a", UnicodeAware, mixed, 2), (Hits { { 0, 2, 0 }, { 1, 1, 0 } }));
}

TEST(RegexScanner, FindsWordsAcrossPiecesOfLongFilesAndLines)
{
    TempTree tree;
    const std::size_t piece = std::size_t { 1 } << 20;
    std::string lines;
    while (lines.size() < 3 * piece)
        lines += std::string(97, '-') + "\n";
    std::string line(3 * piece, '-');
    for (std::size_t edge : { piece, 2 * piece }) {
        // Straddling the reads, and in the overlap that a long line's next piece matches again.
        for (std::size_t at : { edge - 2, edge + 10, edge - 40000, edge - 70000 }) {
            lines.replace(at, 6, "needle");
            line.replace(at, 6, "needle");
        }
    }
    EXPECT_EQ(scanText(tree, "needle", 0, lines), occurrences(lines, "needle"));
    EXPECT_EQ(scanText(tree, "needle", 0, line), occurrences(line, "needle"));
    EXPECT_EQ(scanText(tree, "needle", WholeWord, line), occurrences(line, "needle"));

    std::string wideLine;
    for (char c : line) {
        wideLine += c;
        wideLine += '\0';
    }
    Hits wideHits;
    for (const HitValues& hit : occurrences(line, "needle"))
        wideHits.push_back({ 2 * hit.offset - 1, 12, 0 });
    EXPECT_EQ(scanText(tree, "needle", UnicodeAware, wideLine), wideHits);
}

// The literals of RE2's prefilter that every match holds; none where a match may hold none of them or where
// they cannot be told from the expression's bytes.
TEST(RegexScanner, ChoosesLiteralsEveryMatchHolds)
{
    using Literals = std::vector<std::string>;
    struct Case {
        std::string expression;
        Literals literals;
    };
    const std::vector<Case> cases = {
        { "kmalloc|kfree|vmalloc", { "vmalloc", "kmalloc", "kfree", "\xE2\x84\xAA" } },
        { "mutex_(un)?lock\\w*", { "mutex_" } },
        { "static\\s+int", { "static", "\xC5\xBF" } },
        { "[A-Z]{4,}_[0-9]+", {} },
        { "ab|cd", {} },
        { "x*", {} },
        { "caf\xC3\xA9", {} },
        { "\\x{212A}free", {} },
    };
    for (const Case& c : cases) {
        for (const uint32_t flags : { 0U, uint32_t { IgnoreCase } }) {
            const RegexPrefilter prefilter(c.expression, flags);
            EXPECT_EQ(prefilter.literals(), c.literals) << c.expression << " " << flags;
            // Without literals, a run of byte sets may still be looked for.
            const bool byteRun = !requiredByteRun(c.expression, flags & IgnoreCase).empty();
            EXPECT_EQ(prefilter.active(), !c.literals.empty() || byteRun) << c.expression;
        }
    }
}

TEST(RegexScanner, PathologicalExpressionsFinishAndFindNothing)
{
    TempTree tree;
    const std::size_t size = 10 * 1000 * 1000;
    EXPECT_EQ(scanText(tree, "(a*)*b", 0, std::string(size, 'a')), Hits {});
    EXPECT_EQ(scanText(tree, "(x+x+)+y", WholeWord, std::string(size, 'x')), Hits {});
    std::string wide(size, '\0');
    for (std::size_t i = 1; i < size; i += 2)
        wide[i] = 'x';
    EXPECT_EQ(scanText(tree, "(x+x+)+y", UnicodeAware | IgnoreCase, wide), Hits {});
}

TEST(RegexScanner, AnInvalidExpressionIsRefusedWithItsReason)
{
    EXPECT_EQ(regexError("mutex_(lock"), "Invalid regular expression: missing ): mutex_(lock");
    EXPECT_EQ(regexError("a{2,1}"), "Invalid regular expression: invalid repetition size: {2,1}");
    EXPECT_EQ(regexError("mutex_(un)?lock\\w*"), std::nullopt);

    TempTree tree;
    CurrentDirectoryGuard guard;
    PanelInput input;
    input.folder = tree.root();
    input.keywordText = "  mutex_(lock  ";
    input.regex = true;
    const SearchRequest refused = prepareSearch(input);
    EXPECT_FALSE(refused.criteria);
    EXPECT_EQ(refused.message, "Invalid regular expression: missing ): mutex_(lock");

    // Several words with spaces are one expression: the match mode is not read.
    input.keywordText = "a b|c d";
    input.matchMode = MatchMode::WholePhrase;
    input.wholeWord = true;
    const SearchRequest accepted = prepareSearch(input);
    ASSERT_TRUE(accepted.criteria);
    EXPECT_FALSE(accepted.matchModeRead);
    EXPECT_EQ(accepted.criteria->flags, IgnoreCase | Regex | WholeWord);
}
