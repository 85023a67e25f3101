// What the regex prefilter looks for before RE2 runs, and that looking for it first changes no hit: scans
// with the prefilter are compared with scans of the same expression in a form the prefilter leaves alone.

#include "search/regex_byte_run.h"
#include "search/regex_prefilter.h"
#include "search/search_options.h"
#include "support/plan_scanner.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <random>

using namespace vellick;
using namespace vellick::test;

namespace {

// "[_][0-9]": each set's bytes, ranges of three or more as "a-c".
std::string describe(const std::vector<ByteBits>& run)
{
    std::string text;
    const auto holds = [](const ByteBits& bits, unsigned c) { return c < 256 && ((bits[c >> 6] >> (c & 63)) & 1); };
    for (const ByteBits& bits : run) {
        text += '[';
        for (unsigned c = 0; c < 256; ++c) {
            if (!holds(bits, c))
                continue;
            unsigned end = c;
            while (holds(bits, end + 1))
                ++end;
            text += static_cast<char>(c);
            if (end >= c + 2) {
                text += '-';
                text += static_cast<char>(end);
                c = end;
            }
        }
        text += ']';
    }
    return text;
}

} // namespace

TEST(RegexPrefilter, FindsTheRarestRunOfByteSetsEveryMatchHolds)
{
    struct Case {
        std::string expression;
        std::string ignoringCase;
        std::string matchingCase;
    };
    const std::vector<Case> cases = {
        { "[A-Z]{4,}_[0-9]+", "[_][0-9]", "[A-Z][_][0-9]" },
        { "\\d+\\.\\d+", "[0-9][.][0-9]", "[0-9][.][0-9]" },
        { "Ab_", "[Aa][Bb][_]", "[A][b][_]" },
        { "a{5}", "[Aa][Aa][Aa]", "[a][a][a]" },
        { "x+?y", "[Xx][Yy]", "[x][y]" },
        { "(foo|bar)_[0-9]", "[_][0-9]", "[_][0-9]" },
        { "x*_[0-9]", "[_][0-9]", "[_][0-9]" },
        { "[k-m]_[0-9]", "[_][0-9]", "[k-m][_][0-9]" }, // k may be the Kelvin sign
        { "S[\\]x]", "", "[S][]x]" }, // s may be the long s
        { "[a-z]+", "", "" }, // too common
        { "_.[0-9]", "", "" },
        { "_[^a][0-9]", "", "" },
        { "a|b_1", "", "" },
        { "(?i)X_1", "", "" },
        { "[[:digit:]]_", "", "" },
        { "\\x5f[0-9]", "", "" },
        { "\\pN_", "", "" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(requiredByteRun(c.expression, true)), c.ignoringCase) << c.expression;
        EXPECT_EQ(describe(requiredByteRun(c.expression, false)), c.matchingCase) << c.expression;
    }
}

namespace {

// Lines of letters (k and s among them, and the Kelvin sign and the long s they fold with), digits, "_" and
// a few separators, so that the expressions below match often and nearly match more often.
std::string generatedText(std::mt19937_64& random, std::size_t size, std::size_t maxLine)
{
    static const std::vector<std::string> kPieces = { "a", "b", "k", "s", "x", "y", "A", "B", "K", "S", "X", "_", "_",
        "0", "1", "9", ".", " ", "\t", "-", "\xE2\x84\xAA", "\xC5\xBF", "kfree", "vmalloc" };
    std::string data;
    while (data.size() < size) {
        const std::size_t length = random() % maxLine;
        for (std::size_t i = 0; i < length; ++i)
            data += kPieces[random() % kPieces.size()];
        if (data.size() < size || random() % 2)
            data += '\n';
    }
    return data;
}

} // namespace

TEST(RegexPrefilter, LookingForLiteralsOrRunsFirstChangesNoHit)
{
    TempTree tree;
    std::mt19937_64 random(0x51f);
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i)
        paths.push_back(tree.write("f" + std::to_string(i), generatedText(random, random() % 4000, i % 2 ? 90 : 8)));
    paths.push_back(tree.write("long-lines", generatedText(random, 1300000, 400000)));
    // Files that end in a match, with no line feed after it; the last two only under ignore case.
    const std::vector<std::string> ends = { "AB_12", "b_0", "1.5", "xxy", "K_1", "k_0", "xy_9", "s_3", "_9", "kfree",
        "SK0", "\xE2\x84\xAA_1a", "\xC5\xBF_3a" };
    for (std::size_t i = 0; i < ends.size(); ++i)
        paths.push_back(tree.write("end" + std::to_string(i), generatedText(random, 200, 30) + "\n" + ends[i]));

    for (const std::string expression :
        { "[A-Z]{2,}_[0-9]+", "[a-z]_[0-9]", "\\d\\.\\d+", "x{2,}y", "K_1", "[k-s]+_0", "(ab|xy)_9", "s_[0-9]",
            "^[a-z]+_1", "_9$", "kfree|vmalloc|xk_", "abk|xy_|SK0", "vmalloc\\w*_", "[K-L]_\\d\\w", "[R-S]_\\d\\w" }) {
        // \x{0}{0} matches nothing and stops the prefilter.
        const std::string unfiltered = "(?:\\x{0}){0}(?:" + expression + ")";
        std::size_t hits = 0;
        for (const uint32_t flags :
            { 0U, uint32_t { IgnoreCase }, IgnoreCase | WholeWord, IgnoreCase | UnicodeAware }) {
            ASSERT_TRUE(RegexPrefilter(expression, flags).active()) << expression;
            ASSERT_FALSE(RegexPrefilter(unfiltered, flags).active());
            for (const int maxKeys : { 1024, 1 }) {
                PlanScanner filtered(expression, flags | Regex, maxKeys);
                PlanScanner reference(unfiltered, flags | Regex, maxKeys);
                for (const std::string& path : paths) {
                    const ScanResult expected = reference.scan(path);
                    const ScanResult& got = filtered.scan(path);
                    ASSERT_EQ(got.hits.size(), expected.hits.size()) << expression << " " << flags << " " << path;
                    hits += got.hits.size();
                    for (std::size_t i = 0; i < got.hits.size(); ++i) {
                        EXPECT_EQ(got.hits[i].offset, expected.hits[i].offset) << expression << " " << flags;
                        EXPECT_EQ(got.hits[i].length, expected.hits[i].length) << expression << " " << flags;
                        EXPECT_EQ(got.hits[i].line, expected.hits[i].line) << expression << " " << flags;
                    }
                }
            }
        }
        EXPECT_GT(hits, 0U) << expression;
    }
}
