#include "settings/settings.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {
ScopeSettings with(void (*change)(ScopeSettings&))
{
    ScopeSettings settings;
    change(settings);
    return settings;
}
} // namespace

TEST(ScopeSettings, TextsBecomeTheScopeOrARefusalNamingTheField)
{
    constexpr std::time_t kNow = 1'796'000'000; // 2026-11-30 00:53 (the tests run with TZ=UTC)
    SearchScope expected;
    expected.excludedFolders = { "build", "*.egg-info", "src/gen" };
    expected.minSize = 64 * 1024;
    expected.maxSize = 2 * 1024 * 1024;
    expected.modifiedAfter = kNow - 7 * 86400;
    expected.modifiedBefore = 1'796'083'200; // 2026-12-01 00:00
    expected.binaryFiles = false;
    expected.gitignore = expected.filesWithoutHits = expected.documents = true;
    const ScopeConversion all = searchScopeFrom(
        { " build; *.egg-info,;src/gen ", "64K", "2MB", "7d", "2026-12-01", false, true, true, true }, kNow);
    ASSERT_TRUE(all.scope) << all.message;
    EXPECT_EQ(*all.scope, expected);
    EXPECT_EQ(searchScopeFrom({}, kNow).scope, SearchScope {});

    const std::pair<ScopeSettings, ScopeField> refused[] = {
        { with([](ScopeSettings& s) { s.minSize = "big"; }), ScopeField::MinSize },
        { with([](ScopeSettings& s) { s.maxSize = "1T"; }), ScopeField::MaxSize },
        { with([](ScopeSettings& s) { s.modifiedAfter = "2026-02-30"; }), ScopeField::ModifiedAfter },
        { with([](ScopeSettings& s) { s.modifiedBefore = "last week"; }), ScopeField::ModifiedBefore },
        { with([](ScopeSettings& s) { s.minSize = "2M", s.maxSize = "1M"; }), ScopeField::MinSize },
        { with([](ScopeSettings& s) { s.modifiedAfter = s.modifiedBefore = "2026-11-30"; }),
            ScopeField::ModifiedAfter },
    };
    for (const auto& [settings, field] : refused) {
        const ScopeConversion result = searchScopeFrom(settings, kNow);
        EXPECT_FALSE(result.scope) << result.message;
        EXPECT_EQ(result.field, field) << result.message;
    }
    EXPECT_NE(searchScopeFrom(refused[1].first, kNow).message.find("\"1T\""), std::string::npos);
}

TEST(ScopeSettings, HostileValuesLoadAsTheDefaultsAndSetKeysFollowTheSetting)
{
    test::TempTree tree;
    constexpr ScreenSize kScreen { 800, 600 };
    for (const char* hostile : { "excludedirs=build\x01;x", "minsize=-5", "maxsize=12Q", "modafter=yesterday",
             "modbefore=2026-13-01", "binary=no", "binary=", "gitignore=2", "inverse=10", "documents=-1" }) {
        const std::string path = tree.write("case.ini", std::string("[Settings]\n") + hostile + "\n");
        EXPECT_EQ(loadSettings(path, kScreen).scope, ScopeSettings {}) << hostile;
    }
    const std::string tooLong = "[Settings]\nexcludedirs=" + std::string(kMaxExcludedFoldersText + 1, 'x') + "\n";
    EXPECT_EQ(loadSettings(tree.write("long.ini", tooLong), kScreen).scope, ScopeSettings {});

    // A key once written follows the setting back to its default.
    const std::string path = tree.write("set.ini", "[Settings]\n");
    Settings settings = loadSettings(path, kScreen);
    settings.scope.binaryFiles = false;
    ASSERT_TRUE(saveSettings(path, settings, false));
    settings.scope.binaryFiles = true;
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_NE(test::readFile(path).find("\nbinary=1\n"), std::string::npos);
}
