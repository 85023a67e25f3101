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

TEST(RunTexts, ScopeSummaryNamesWhatTheScopeLeavesOut)
{
    // The tests run with TZ=UTC; 1796083200 is 2026-12-01 00:00.
    static constexpr int64_t kDayStart = 1'796'083'200;
    struct Case {
        void (*set)(SearchScope&);
        const char* expected;
    };
    const Case cases[] = {
        { [](SearchScope&) {}, "" },
        { [](SearchScope& s) { s.excludedFolders = { "build" }; }, " (scope: 1 folder excluded)" },
        { [](SearchScope& s) {
             s.excludedFolders = { "build", "node_modules" }, s.maxSize = 1 << 20;
         },
            " (scope: 2 folders excluded, size \u2264 1 MB)" },
        { [](SearchScope& s) { s.minSize = 64 << 10; }, " (scope: size \u2265 64 KB)" },
        { [](SearchScope& s) { s.minSize = 1500, s.maxSize = int64_t { 3 } << 30; },
            " (scope: size 1500 bytes to 3 GB)" },
        { [](SearchScope& s) { s.maxSize = 1; }, " (scope: size \u2264 1 byte)" },
        { [](SearchScope& s) { s.modifiedAfter = kDayStart; }, " (scope: modified since 2026-12-01)" },
        { [](SearchScope& s) { s.modifiedBefore = kDayStart + 3600 + 120; },
            " (scope: modified before 2026-12-01 01:02)" },
        { [](SearchScope& s) { s.modifiedAfter = kDayStart - 86400, s.modifiedBefore = kDayStart; },
            " (scope: modified since 2026-11-30 and before 2026-12-01)" },
        { [](SearchScope& s) { s.binaryFiles = false, s.gitignore = s.filesWithoutHits = s.documents = true; },
            " (scope: binary files skipped, git-ignored files skipped, files without hits, inside documents and "
            "archives)" },
    };
    for (const Case& c : cases) {
        SearchScope scope;
        c.set(scope);
        EXPECT_EQ(scopeSummaryText(scope), c.expected);
    }
}
