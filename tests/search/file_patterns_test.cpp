#include "search/file_patterns.h"

#include <gtest/gtest.h>

using namespace vellick;

using Patterns = std::vector<std::string>;

TEST(FilePatterns, SplitAtCommasAndSemicolons)
{
    EXPECT_EQ(splitFilePatterns("*.txt;*.log"), (Patterns { "*.txt", "*.log" }));
    EXPECT_EQ(splitFilePatterns("*.txt, *.log"), (Patterns { "*.txt", "*.log" }));
    EXPECT_EQ(splitFilePatterns(";;*.h"), (Patterns { "*.h" }));
    EXPECT_EQ(splitFilePatterns("*.h;"), (Patterns { "*.h" }));
    // A piece blank only after trimming stays, as a pattern that matches nothing.
    EXPECT_EQ(splitFilePatterns("*.c; ;*.h"), (Patterns { "*.c", "", "*.h" }));
}

TEST(FilePatterns, AtMost31PiecesOfAtMost256Bytes)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "p" + std::to_string(i) + ";";
    const Patterns patterns = splitFilePatterns(text);
    ASSERT_EQ(patterns.size(), 31u);
    EXPECT_EQ(patterns.back(), "p30");
    // Cut first, then trimmed.
    EXPECT_EQ(splitFilePatterns(" " + std::string(255, 'x') + "yyy"), (Patterns { std::string(255, 'x') }));
}

TEST(FilePatterns, WildcardsIgnoreAsciiCase)
{
    EXPECT_TRUE(matchesFilePattern("*.txt", "NOTES.TXT"));
    EXPECT_TRUE(matchesFilePattern("NOTES.txt", "notes.TXT"));
    EXPECT_FALSE(matchesFilePattern("*.txt", "notes.txt.bak"));
    EXPECT_FALSE(matchesFilePattern("*.txt", "txt"));
    // Only A-Z fold: 0xC9 and 0xE9 are different bytes.
    EXPECT_TRUE(matchesFilePattern("\xC9*", "\xC9t"));
    EXPECT_FALSE(matchesFilePattern("\xC9*", "\xE9t"));
}

TEST(FilePatterns, StarAndQuestionMark)
{
    EXPECT_TRUE(matchesFilePattern("*", ".profile"));
    EXPECT_TRUE(matchesFilePattern("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(matchesFilePattern("a*b*c", "abcb"));
    EXPECT_TRUE(matchesFilePattern("*.t?t", "x.txt"));
    EXPECT_TRUE(matchesFilePattern("?.c", "a.c"));
    EXPECT_FALSE(matchesFilePattern("?.c", "ab.c"));
    EXPECT_FALSE(matchesFilePattern("?.c", ".c"));
    EXPECT_TRUE(matchesFilePattern("*x*", "x"));
}

TEST(FilePatterns, TrailingDotStarAlsoMatchesNamesWithoutIt)
{
    EXPECT_TRUE(matchesFilePattern("*.*", "readme"));
    EXPECT_TRUE(matchesFilePattern("*.*", "a.b.c"));
    EXPECT_TRUE(matchesFilePattern("readme.*", "readme"));
    EXPECT_TRUE(matchesFilePattern("readme.*", "README.md"));
    EXPECT_FALSE(matchesFilePattern("readme.*", "readme2"));
}

TEST(FilePatterns, EmptyOrSlashMatchesNothing)
{
    EXPECT_FALSE(matchesFilePattern("", "a"));
    EXPECT_FALSE(matchesFilePattern("sub/*.txt", "a.txt"));
    EXPECT_FALSE(matchesFilePattern("*/*", "a"));
}
