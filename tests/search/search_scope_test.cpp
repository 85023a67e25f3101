#include "search/search_scope.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

TEST(SearchScope, ExclusionsWinOverInclusions)
{
    struct Case {
        const char* patterns;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        { "*.c;*.h;!*_test.c", "scan.c", true },
        { "*.c;*.h;!*_test.c", "scan_test.c", false },
        { "*.c;*.h;!*_test.c", "scan.h", true },
        { "*.c;*.h;!*_test.c", "notes.txt", false },
        { "!*.o", "main.c", true }, // only exclusions: everything else
        { "!*.o", "main.O", false }, // by the same ASCII case-insensitive wildcards
        { "!*.o;!*.a", "lib.a", false },
        { "*.*", "Makefile", true },
        { "", "anything", false }, // no pattern at all matches nothing, as before
        { "*.c;!*.c", "x.c", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilePatternSet(c.patterns).matches(c.name), c.matches) << c.patterns << " / " << c.name;
}

TEST(SearchScope, ExcludedFoldersByNameOrByPathBelowTheStart)
{
    SearchScope scope;
    scope.excludedFolders = splitNameList("build; node_modules ,*.egg-info;src/gen;;");
    ASSERT_EQ(scope.excludedFolders.size(), 4u);
    EXPECT_TRUE(folderExcluded(scope, "build", "a/build"));
    EXPECT_TRUE(folderExcluded(scope, "BUILD", "BUILD"));
    EXPECT_TRUE(folderExcluded(scope, "pkg.egg-info", "pkg.egg-info"));
    EXPECT_TRUE(folderExcluded(scope, "gen", "src/gen"));
    EXPECT_FALSE(folderExcluded(scope, "gen", "other/src/gen")); // a path pattern starts at the start folder
    EXPECT_FALSE(folderExcluded(scope, "builder", "builder"));
    EXPECT_FALSE(folderExcluded(SearchScope {}, "build", "build"));
}

TEST(SearchScope, SizeAndTimeBounds)
{
    SearchScope scope;
    scope.minSize = 10;
    scope.maxSize = 20;
    scope.modifiedAfter = 1000;
    scope.modifiedBefore = 2000;
    EXPECT_TRUE(statusInScope(scope, 10, 1000)); // bounds of size and "after" are inclusive
    EXPECT_TRUE(statusInScope(scope, 20, 1999));
    EXPECT_FALSE(statusInScope(scope, 9, 1500));
    EXPECT_FALSE(statusInScope(scope, 21, 1500));
    EXPECT_FALSE(statusInScope(scope, 15, 999));
    EXPECT_FALSE(statusInScope(scope, 15, 2000)); // "before" is strict
    EXPECT_TRUE(statusInScope(SearchScope {}, 0, -5));
    EXPECT_TRUE(SearchScope {}.isDefault());
    EXPECT_FALSE(scope.isDefault());
}

TEST(SearchScope, SizeAndDateTexts)
{
    const std::pair<const char*, std::optional<int64_t>> sizes[] = {
        { "0", 0 }, { " 12 ", 12 }, { "64K", 65536 }, { "2MB", 2 * 1024 * 1024 }, { "1g", int64_t(1) << 30 },
        { "", std::nullopt }, { "K", std::nullopt }, { "-1", std::nullopt }, { "1.5M", std::nullopt },
        { "9999999999999G", std::nullopt }, // would overflow
    };
    for (const auto& [text, bytes] : sizes)
        EXPECT_EQ(parseByteSize(text), bytes) << text;

    const ScopedEnv utc("TZ", "UTC");
    tzset();
    const std::time_t now = 1800000000;
    const std::pair<const char*, std::optional<int64_t>> dates[] = {
        { "2026-12-01", 1796083200 },
        { "1970-01-01", 0 },
        { "7d", now - 7 * 86400 },
        { "0d", now },
        { "2026-02-30", std::nullopt }, // no such day
        { "2026-1-01", std::nullopt },
        { "2026-12-01x", std::nullopt },
        { "yesterday", std::nullopt },
    };
    for (const auto& [text, moment] : dates)
        EXPECT_EQ(parseDateBound(text, now), moment) << text;
}

TEST(SearchScope, SeveralFoldersUnlessTheWholeTextIsOne)
{
    const auto noFolder = [](const std::string&) { return false; };
    const auto everyFolder = [](const std::string&) { return true; };
    using Folders = std::vector<std::string>;
    EXPECT_EQ(splitFolderText(" /a ; ;/b ", noFolder), (Folders { "/a", "/b" }));
    EXPECT_EQ(splitFolderText("/x;y", everyFolder), (Folders { "/x;y" }));
    EXPECT_EQ(splitFolderText("/plain", noFolder), (Folders { "/plain" }));
    EXPECT_EQ(splitFolderText("", noFolder), (Folders { "" })); // an empty box stays the current folder
}
