#include "results/run_texts.h"

#include <gtest/gtest.h>

using namespace vellick;

TEST(RunTexts, Summary)
{
    EXPECT_EQ(summaryText(12, 340, 3), "12 files found (340 files checked).time spent: 00:00:03");
    EXPECT_EQ(summaryText(0, 0, 0), "No file found (0 file checked).time spent: 00:00:00");
    EXPECT_EQ(summaryText(1, 1, 59), "1 file found (1 file checked).time spent: 00:00:59");
    EXPECT_EQ(summaryText(0, 2, 61), "No file found (2 files checked).time spent: 00:01:01");
    EXPECT_EQ(summaryText(2, 2, 3600), "2 files found (2 files checked).time spent: 01:00:00");
    EXPECT_EQ(summaryText(2, 2, 100 * 3600 + 59 * 60 + 59), "2 files found (2 files checked).time spent: 100:59:59");
}

TEST(RunTexts, FolderProgress)
{
    EXPECT_EQ(folderProgressText(0, "/home/me"), "Searching: /home/me");
    EXPECT_EQ(folderProgressText(1, "/home/me"), "Searching: /home/me");
    EXPECT_EQ(folderProgressText(2, "/home/me"), "(2 files checked) Searching: /home/me");
    // Longer than 32 characters: "..." and the last part with its slash.
    const std::string exactly32 = "/home/someone/projects/abcdefghi";
    ASSERT_EQ(exactly32.size(), 32u);
    EXPECT_EQ(folderProgressText(0, exactly32), "Searching: " + exactly32);
    EXPECT_EQ(folderProgressText(0, exactly32 + "j"), "Searching: .../abcdefghij");
    // A slash only at the start: the whole path.
    const std::string noInnerSlash = "/" + std::string(40, 'x');
    EXPECT_EQ(folderProgressText(0, noInnerSlash), "Searching: " + noInnerSlash);
}

TEST(RunTexts, FileProgressShowsAtMost200Bytes)
{
    EXPECT_EQ(fileProgressText("/a/b.txt"), "Searching /a/b.txt ");
    EXPECT_EQ(fileProgressText(std::string(300, 'p')), "Searching " + std::string(200, 'p') + " ");
}
