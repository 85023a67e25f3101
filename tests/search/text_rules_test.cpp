#include "search/text_rules.h"

#include <gtest/gtest.h>

using namespace vellick;

TEST(TextRules, TrimDropsOuterWhiteSpaceAndBlanksInnerBreaks)
{
    EXPECT_EQ(trimText(" \t\r\n\v\fab\ncd\r\tef \n"), "ab cd  ef");
    EXPECT_EQ(trimText("a\vb"), "a\vb"); // only line feed, carriage return and tab become spaces
    EXPECT_EQ(trimText(" \n\t "), "");
}

TEST(TextRules, SeveralWordsNeedFourCharactersAndAnInnerSpace)
{
    EXPECT_TRUE(hasSeveralWords("a bc"));
    EXPECT_FALSE(hasSeveralWords("a b"));
    EXPECT_FALSE(hasSeveralWords("abcd"));
    EXPECT_FALSE(hasSeveralWords("ab"));
    EXPECT_TRUE(hasSeveralWords("? ?x"));
    EXPECT_FALSE(hasSeveralWords("? ?"));
    // Pasted line breaks become spaces, and so separate words.
    EXPECT_TRUE(hasSeveralWords(trimText("mutex\nlock")));
}

TEST(TextRules, KeywordMustHaveTwoCharactersNotAllQuestionMarks)
{
    EXPECT_FALSE(isValidKeyword("??"));
    EXPECT_FALSE(isValidKeyword("a"));
    EXPECT_FALSE(isValidKeyword(""));
    EXPECT_TRUE(isValidKeyword("?a"));
    EXPECT_TRUE(isValidKeyword("a?"));
    EXPECT_TRUE(isValidKeyword("? ?"));
}

TEST(TextRules, WordsSplitAtRunsOfSpaces)
{
    const std::vector<std::string_view> expected { "ab", "cd", "e" };
    EXPECT_EQ(splitWords("  ab   cd e  "), expected);
    EXPECT_TRUE(splitWords("   ").empty());
}
