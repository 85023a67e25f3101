#include "settings/recent_list.h"

#include <gtest/gtest.h>

using namespace vellick;

using List = std::vector<std::string>;

TEST(RecentList, NewTextGoesFirst)
{
    List list { "beta", "gamma" };
    EXPECT_EQ(updateRecentList(list, "alpha"), -1);
    EXPECT_EQ(list, (List { "alpha", "beta", "gamma" }));
    List empty;
    updateRecentList(empty, "alpha");
    EXPECT_EQ(empty, (List { "alpha" }));
}

TEST(RecentList, TextFoundFurtherDownMovesUpWithTheNewSpelling)
{
    List list { "alpha", "beta", "gamma" };
    EXPECT_EQ(updateRecentList(list, "GAMMA"), 0);
    EXPECT_EQ(list, (List { "GAMMA", "alpha", "beta" }));
}

TEST(RecentList, TextFoundFirstLeavesTheListAlone)
{
    List list { "Alpha", "beta" };
    updateRecentList(list, "alpha");
    EXPECT_EQ(list, (List { "Alpha", "beta" })); // the stored case stays
}

TEST(RecentList, LaterEntriesAreLookedAtBeforeTheFirst)
{
    List list { "dup", "DUP", "x" };
    updateRecentList(list, "Dup");
    EXPECT_EQ(list, (List { "Dup", "dup", "x" }));
}

TEST(RecentList, WholeStringsOnly)
{
    List list { "abc" };
    updateRecentList(list, "ab");
    EXPECT_EQ(list, (List { "ab", "abc" }));
}
