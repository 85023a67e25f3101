#include "settings/scope_settings.h"
#include "settings/settings.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

constexpr std::time_t kNow = 1'796'000'000; // 2026-11-30 00:53 (the tests run with TZ=UTC)
constexpr int64_t kDay = 86400;

ScopeSettings with(void (*change)(ScopeSettings&))
{
    ScopeSettings settings;
    change(settings);
    return settings;
}

} // namespace

TEST(ScopeSettings, TextsBecomeTheScopeOrAMessageNamingTheField)
{
    struct Case {
        const char* what;
        ScopeSettings settings;
        SearchScope expected; // when field is None
        ScopeField field = ScopeField::None;
    };
    SearchScope folders;
    folders.excludedFolders = { "build", "node_modules", "*.egg-info", "src/gen" };
    SearchScope sizes;
    sizes.minSize = 64 * 1024;
    sizes.maxSize = 2 * 1024 * 1024;
    SearchScope dates;
    dates.modifiedAfter = kNow - 7 * kDay;
    dates.modifiedBefore = 1'796'083'200; // 2026-12-01 00:00 UTC
    SearchScope flags;
    flags.binaryFiles = false;
    flags.gitignore = flags.filesWithoutHits = flags.documents = true;
    const Case cases[] = {
        { "defaults", {}, {} },
        { "folders", with([](ScopeSettings& s) { s.excludedFolders = " build; node_modules,*.egg-info;;src/gen "; }),
            folders },
        { "sizes", with([](ScopeSettings& s) { s.minSize = "64K", s.maxSize = "2MB"; }), sizes },
        { "dates", with([](ScopeSettings& s) { s.modifiedAfter = "7d", s.modifiedBefore = "2026-12-01"; }), dates },
        { "flags", with([](ScopeSettings& s) {
             s.binaryFiles = false, s.gitignore = s.filesWithoutHits = s.documents = true;
         }),
            flags },
        { "equal sizes", with([](ScopeSettings& s) { s.minSize = s.maxSize = "1K"; }),
            [] {
                SearchScope scope;
                scope.minSize = scope.maxSize = 1024;
                return scope;
            }() },
        { "bad min", with([](ScopeSettings& s) { s.minSize = "big"; }), {}, ScopeField::MinSize },
        { "bad max", with([](ScopeSettings& s) { s.maxSize = "1T"; }), {}, ScopeField::MaxSize },
        { "bad after", with([](ScopeSettings& s) { s.modifiedAfter = "2026-02-30"; }), {}, ScopeField::ModifiedAfter },
        { "bad before", with([](ScopeSettings& s) { s.modifiedBefore = "last week"; }), {},
            ScopeField::ModifiedBefore },
        { "min above max", with([](ScopeSettings& s) { s.minSize = "2M", s.maxSize = "1M"; }), {},
            ScopeField::MinSize },
        { "empty date range", with([](ScopeSettings& s) { s.modifiedAfter = s.modifiedBefore = "2026-11-30"; }), {},
            ScopeField::ModifiedAfter },
    };
    for (const Case& c : cases) {
        const ScopeConversion result = searchScopeFrom(c.settings, kNow);
        EXPECT_EQ(result.field, c.field) << c.what;
        if (c.field == ScopeField::None) {
            ASSERT_TRUE(result.scope) << c.what << ": " << result.message;
            EXPECT_EQ(*result.scope, c.expected) << c.what;
        } else {
            EXPECT_FALSE(result.scope) << c.what;
            EXPECT_FALSE(result.message.empty()) << c.what;
        }
    }
    EXPECT_NE(searchScopeFrom(with([](ScopeSettings& s) { s.maxSize = "1T"; }), kNow).message.find("\"1T\""),
        std::string::npos);
}

TEST(ScopeSettings, KeysRoundTripAndHostileValuesLoadAsTheDefaults)
{
    test::TempTree tree;
    constexpr ScreenSize kScreen { 800, 600 };
    struct Case {
        const char* line; // as found in vellick.ini
        ScopeSettings expected;
    };
    const std::string longFolders(kMaxExcludedFoldersText + 1, 'x');
    const Case cases[] = {
        { "excludedirs=build;node_modules", with([](ScopeSettings& s) { s.excludedFolders = "build;node_modules"; }) },
        { "minsize=64K", with([](ScopeSettings& s) { s.minSize = "64K"; }) },
        { "maxsize=1M", with([](ScopeSettings& s) { s.maxSize = "1M"; }) },
        { "modafter=7d", with([](ScopeSettings& s) { s.modifiedAfter = "7d"; }) },
        { "modbefore=2026-01-31", with([](ScopeSettings& s) { s.modifiedBefore = "2026-01-31"; }) },
        { "binary=0", with([](ScopeSettings& s) { s.binaryFiles = false; }) },
        { "gitignore=1", with([](ScopeSettings& s) { s.gitignore = true; }) },
        { "inverse=1", with([](ScopeSettings& s) { s.filesWithoutHits = true; }) },
        { "documents=1", with([](ScopeSettings& s) { s.documents = true; }) },
        // Hostile: what the window could not have written.
        { "excludedirs=build\x01;x", {} },
        { "minsize=-5", {} },
        { "maxsize=12Q", {} },
        { "modafter=yesterday", {} },
        { "modbefore=2026-13-01", {} },
        { "binary=no", {} },
        { "binary=", {} },
        { "gitignore=2", {} },
        { "inverse=10", {} },
        { "documents=-1", {} },
    };
    for (const Case& c : cases) {
        const std::string path = tree.write("case.ini", std::string("[Settings]\n") + c.line + "\n");
        const Settings loaded = loadSettings(path, kScreen);
        EXPECT_EQ(loaded.scope, c.expected) << c.line;
        // What loads is written back as it was.
        ASSERT_TRUE(saveSettings(path, loaded, false));
        EXPECT_EQ(loadSettings(path, kScreen).scope, c.expected) << c.line;
    }
    const std::string cut = tree.write("long.ini", "[Settings]\nexcludedirs=" + longFolders + "\n");
    EXPECT_EQ(loadSettings(cut, kScreen).scope, ScopeSettings {});

    // Only keys that differ from their default are written; a key once written follows the setting back.
    const std::string path = tree.write("fresh.ini", "[Settings]\n");
    Settings settings = loadSettings(path, kScreen);
    ASSERT_TRUE(saveSettings(path, settings, false));
    for (const char* key :
        { "excludedirs", "minsize", "maxsize", "modafter", "modbefore", "binary", "gitignore", "inverse", "documents" })
        EXPECT_EQ(test::readFile(path).find(std::string("\n") + key + "="), std::string::npos) << key;
    settings.scope.binaryFiles = false;
    settings.scope.minSize = "1K";
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_NE(test::readFile(path).find("\nbinary=0\n"), std::string::npos);
    settings.scope = {};
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_EQ(loadSettings(path, kScreen).scope, ScopeSettings {});
    EXPECT_NE(test::readFile(path).find("\nbinary=1\n"), std::string::npos);
}
