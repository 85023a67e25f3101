#include "search/keyword_list.h"
#include "search/search_options.h"

#include <gtest/gtest.h>

using namespace vellick;

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
