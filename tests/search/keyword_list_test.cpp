#include "search/keyword_list.h"
#include "search/search_options.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

std::string wordsText(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? " w" : "w") + std::to_string(i);
    return text;
}

} // namespace

TEST(KeywordList, OneKeywordIsOnePattern)
{
    const KeywordList list("ab", IgnoreCase);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.pattern(0), "ab");
}

TEST(KeywordList, PlainThenWideForms)
{
    const KeywordList list("ab cd", AnyWord | UnicodeAware);
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list.pattern(0), "ab");
    EXPECT_EQ(list.pattern(1), "cd");
    EXPECT_EQ(list.pattern(2),
        std::string("\xFF"
                    "a\xFF"
                    "b"));
    EXPECT_EQ(list.pattern(3),
        std::string("\xFF"
                    "c\xFF"
                    "d"));
}

TEST(KeywordList, IgnoreCaseLowersAsciiCapitalsOnly)
{
    const KeywordList list("AbC\xC9Z", IgnoreCase);
    EXPECT_EQ(list.pattern(0), "abc\xC9z");
    EXPECT_EQ(KeywordList("AbC", 0).pattern(0), "AbC");
}

TEST(KeywordList, WholeWordPatternsCarryDelimiters)
{
    const KeywordList list("cat dog", AllWords | WholeWord | UnicodeAware);
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list.pattern(0), " cat ");
    EXPECT_EQ(list.pattern(1), " dog ");
    // The delimiting spaces get their 0xFF too.
    EXPECT_EQ(list.pattern(2),
        std::string("\xFF \xFF"
                    "c\xFF"
                    "a\xFF"
                    "t\xFF "));
}

TEST(KeywordList, PhraseIsTheWholeTextWithQuestionMarkWideForm)
{
    const KeywordList plain("to  be", WholePhrase | WholeWord);
    ASSERT_EQ(plain.count(), 1u);
    EXPECT_EQ(plain.pattern(0), "to  be"); // spaces kept as typed, no delimiters added
    const KeywordList wide("to be", WholePhrase | UnicodeAware);
    ASSERT_EQ(wide.count(), 2u);
    EXPECT_EQ(wide.pattern(1), "?t?o? ?b?e");
}

TEST(KeywordList, LongWordsAreCutTo32Bytes)
{
    const std::string word(40, 'x');
    EXPECT_EQ(KeywordList(word, 0).pattern(0), std::string(32, 'x'));
    EXPECT_EQ(KeywordList(word, WholeWord).pattern(0), " " + std::string(32, 'x') + " ");
}

TEST(KeywordList, WordCountLimits)
{
    const KeywordList hundredAndOne(wordsText(101), AnyWord);
    ASSERT_EQ(hundredAndOne.count(), 100u);
    EXPECT_EQ(hundredAndOne.pattern(99), "w99");
    // With the wide forms only the first 50 words are used: 50 plain and 50 wide patterns.
    const KeywordList unicode(wordsText(60), AnyWord | UnicodeAware);
    ASSERT_EQ(unicode.count(), 100u);
    EXPECT_EQ(unicode.pattern(49), "w49");
    EXPECT_EQ(unicode.pattern(50),
        std::string("\xFFw\xFF"
                    "0"));
}

TEST(KeywordList, RunsOfSpacesSeparateWords)
{
    const KeywordList list("ab   cd", AllWords);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.pattern(1), "cd");
}
