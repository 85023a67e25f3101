#include "base/paths.h"
#include "search/search_request.h"
#include "settings/column_widths.h"
#include "settings/recent_list.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace vellick;

namespace {

constexpr ScreenSize kScreen { 800, 600 };

Settings loadFrom(const test::TempTree& tree, const std::string& content)
{
    return loadSettings(tree.write("vellick.ini", content), kScreen);
}

} // namespace

TEST(Settings, FirstRunDefaults)
{
    test::TempTree tree;
    const Settings settings = loadSettings(tree.path("none/vellick.ini"), kScreen);
    EXPECT_EQ(settings.window.left, 24);
    EXPECT_EQ(settings.window.top, 18);
    EXPECT_EQ(settings.window.width, 728);
    EXPECT_EQ(settings.window.height, 546);
    EXPECT_FALSE(settings.stackedLayout);
    EXPECT_EQ(settings.listPaneWidthIn(1000), 500);
    EXPECT_EQ(settings.listPaneHeightIn(900), 300);
    EXPECT_EQ(settings.search.maxKeys, 1024);
    EXPECT_FALSE(settings.search.includeHidden || settings.subFolders || settings.matchCase || settings.matchWholeWord
        || settings.regex);
    EXPECT_EQ(settings.matchMode, MatchMode::AllWords);
    EXPECT_TRUE(
        settings.recentKeywords.empty() && settings.recentFolders.empty() && settings.recentFilePatterns.empty());
    EXPECT_EQ(settings.keywordText, "");
    EXPECT_EQ(settings.folderText, currentDirectory());
    EXPECT_EQ(settings.filePatternText, "*.*");

    const Settings big = loadSettings(tree.path("none"), { 1920, 1080 });
    EXPECT_EQ(big.window.width, 728);
    const Settings small = loadSettings(tree.path("none"), { 640, 480 });
    EXPECT_EQ(small.window.width, 568);
    EXPECT_EQ(small.window.height, 426);
}

TEST(Settings, StoredValuesAreClamped)
{
    test::TempTree tree;
    Settings settings = loadFrom(tree, "[Settings]\nmaxkeys=0\nallkeys=7\nwleft=-8\nwtop=x\nhorizon=2\n");
    EXPECT_EQ(settings.search.maxKeys, 1);
    EXPECT_EQ(settings.matchMode, MatchMode::WholePhrase);
    EXPECT_EQ(settings.window.left, -8);
    EXPECT_EQ(settings.window.width, 760); // the default uses the wleft just read
    EXPECT_EQ(settings.window.top, 0);
    EXPECT_TRUE(settings.stackedLayout);
    settings = loadFrom(tree, "[Settings]\nmaxkeys=5000\nallkeys=-1\n");
    EXPECT_EQ(settings.search.maxKeys, 1024);
    EXPECT_EQ(settings.matchMode, MatchMode::AllWords);
    EXPECT_EQ(loadFrom(tree, "[Settings]\nmaxkeys=many\n").search.maxKeys, 1);
    // The expression switch is on only for the value 1: anything else is the default, off.
    for (const char* value : { "1", "1x" })
        EXPECT_TRUE(loadFrom(tree, std::string("[Settings]\nregex=") + value + "\n").regex) << value;
    for (const char* value : { "0", "2", "-1", "yes", "", "99999999999" })
        EXPECT_FALSE(loadFrom(tree, std::string("[Settings]\nregex=") + value + "\n").regex) << value;
}

TEST(Settings, RecentListsStopAtTheFirstEmptyValueAndAreCut)
{
    test::TempTree tree;
    Settings settings = loadFrom(tree, "[Settings]\nkeys1=a\nkeys2=\nkeys3=c\ndirectory2=/d\nfile1=\n");
    EXPECT_EQ(settings.recentKeywords, std::vector<std::string> { "a" });
    EXPECT_EQ(settings.keywordText, "a");
    EXPECT_TRUE(settings.recentFolders.empty());
    EXPECT_EQ(settings.folderText, currentDirectory());
    EXPECT_TRUE(settings.recentFilePatterns.empty());
    EXPECT_EQ(settings.filePatternText, "*.*");

    settings = loadFrom(tree,
        "[Settings]\nkeys1=" + std::string(4000, 'k') + "\ndirectory1=" + std::string(2000, 'd')
            + "\nfile1=" + std::string(9000, 'f') + "\n");
    EXPECT_EQ(settings.keywordText.size(), 3199u);
    EXPECT_EQ(settings.folderText.size(), 1023u);
    EXPECT_EQ(settings.filePatternText.size(), 8191u);
}

TEST(Settings, OlderEntriesBehindTheListSurvive)
{
    test::TempTree tree;
    Settings settings = loadFrom(tree, "[Settings]\nkeys1=k1\nkeys2=k2\nkeys3=\nkeys4=old4\nkeys5=old5\n");
    ASSERT_EQ(settings.recentKeywords.size(), 2u);
    updateRecentList(settings.recentKeywords, "new");
    ASSERT_TRUE(saveSettings(tree.path("vellick.ini"), settings, false));
    settings = loadSettings(tree.path("vellick.ini"), kScreen);
    EXPECT_EQ(settings.recentKeywords, (std::vector<std::string> { "new", "k1", "k2", "old4", "old5" }));

    // Only the first five entries are written.
    settings.recentFolders = { "/1", "/2", "/3", "/4", "/5", "/6" };
    ASSERT_TRUE(saveSettings(tree.path("vellick.ini"), settings, false));
    EXPECT_EQ(loadSettings(tree.path("vellick.ini"), kScreen).recentFolders.size(), 5u);
}

TEST(Settings, FreshFileInWriteOrderAndMinimisedKeepsSizes)
{
    test::TempTree tree;
    const std::string path = tree.path("config/vellick/vellick.ini");
    Settings settings = loadSettings(path, kScreen);
    settings.listPaneWidth = 300;
    settings.textPaneWidth = 400;
    settings.listPaneHeight = 100;
    settings.textPaneHeight = 200;
    settings.recentKeywords = { "\"quoted words\"" };
    settings.recentFolders = { "/home" };
    settings.recentFilePatterns = { "*.c;*.h" };
    ASSERT_TRUE(saveSettings(path, settings, false));
    const std::string saved
        = "[Settings]\nwwidth=728\nwheight=546\nwleft=24\nwtop=18\nwidth1=300\nwidth2=400\n"
          "height1=100\nheight2=200\nsearchhiden=0\nmaxkeys=1024\nhorizon=0\ndosubdir=0\n"
          "allkeys=0\nmatchcase=0\nmatchword=0\nregex=0\nkeys1=\"\"quoted words\"\"\ndirectory1=/home\n"
          "file1=*.c;*.h\n";
    EXPECT_EQ(test::readFile(path), saved);
    EXPECT_EQ(loadSettings(path, kScreen).keywordText, "\"quoted words\"");

    settings.window = { 1, 2, 3, 4 };
    settings.listPaneWidth = 5;
    settings.matchCase = true;
    ASSERT_TRUE(saveSettings(path, settings, true));
    const Settings reloaded = loadSettings(path, kScreen);
    EXPECT_EQ(reloaded.window.width, 728);
    EXPECT_EQ(reloaded.listPaneWidth, 300);
    EXPECT_TRUE(reloaded.matchCase);
}

TEST(Settings, RoundTripKeepsForeignContentAndLineEndings)
{
    test::TempTree tree;
    const std::string original = "; my notes\r\n[Recent File List]\r\nFile1=x\r\n\r\n[Settings]\r\nPreviewPages=1\r\n"
                                 "MaxKeys=17\r\nkeys1=k\r\n\r\n[Other]\r\nmaxkeys=2\r\n";
    Settings settings = loadFrom(tree, original);
    EXPECT_EQ(settings.search.maxKeys, 17);
    settings.search.maxKeys = 18;
    ASSERT_TRUE(saveSettings(tree.path("vellick.ini"), settings, true));
    EXPECT_EQ(test::readFile(tree.path("vellick.ini")),
        "; my notes\r\n[Recent File List]\r\nFile1=x\r\n\r\n[Settings]\r\nPreviewPages=1\r\nMaxKeys=18\r\nkeys1=k\r\n"
        "searchhiden=0\r\nhorizon=0\r\ndosubdir=0\r\nallkeys=0\r\nmatchcase=0\r\nmatchword=0\r\nregex=0\r\n\r\n[Other]"
        "\r\n"
        "maxkeys=2\r\n");
}

TEST(Settings, ColumnWidthsPerLayout)
{
    test::TempTree tree;
    const std::string path = tree.path("vellick.ini");
    EXPECT_EQ(loadColumnWidths(path, ListLayout::Stacked, 800), (ColumnWidths { 200, 200, 100, 100, 200, 100 }));
    EXPECT_EQ(loadColumnWidths(path, ListLayout::SideBySide, 800), (ColumnWidths { 100, 100, 50, 50, 100, 50 }));
    // A font whose characters are wider than the 6 pixels the defaults were made for widens them alike;
    // the stacked layout's fractions already follow the list.
    EXPECT_EQ(loadColumnWidths(path, ListLayout::SideBySide, 800, 7), (ColumnWidths { 116, 116, 58, 58, 116, 58 }));
    EXPECT_EQ(loadColumnWidths(path, ListLayout::Stacked, 800, 7), (ColumnWidths { 200, 200, 100, 100, 200, 100 }));
    ASSERT_TRUE(saveColumnWidths(path, ListLayout::Stacked, { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(test::readFile(path), "[Settings]\nhcol1=1\nhcol2=2\nhcol3=3\nhcol4=4\nhcol5=5\nhcol6=6\n");
    EXPECT_EQ(loadColumnWidths(path, ListLayout::Stacked, 800, 9), (ColumnWidths { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(loadColumnWidths(path, ListLayout::SideBySide, 800), (ColumnWidths { 100, 100, 50, 50, 100, 50 }));
}

TEST(Settings, FileLocation)
{
    EXPECT_EQ(settingsFilePathFor("/xdg", "/home/u"), "/xdg/vellick/vellick.ini");
    EXPECT_EQ(settingsFilePathFor("", "/home/u"), "/home/u/.config/vellick/vellick.ini");
    EXPECT_EQ(settingsFilePathFor("relative", "/home/u"), "/home/u/.config/vellick/vellick.ini");
    EXPECT_EQ(settingsFilePathFor("", ""), "");
}

// A settings file has a few hundred lines. One of millions of two-byte lines is not taken: it would take
// seconds and gigabytes to hold and search line by line. It reads as the defaults and is left alone.
TEST(Settings, HugeFileOfShortLinesIsLeftAlone)
{
    test::TempTree tree;
    const std::string keys = "[Settings]\nmaxkeys=7\n";
    std::string lines;
    for (int line = 0; line < 60000; ++line)
        lines += "a\n";
    EXPECT_EQ(loadFrom(tree, lines + keys).search.maxKeys, 7) << "a file within the bound is read";

    const std::string huge = std::string(8u << 20, '\n').replace(0, lines.size(), lines) + keys;
    const std::string path = tree.write("vellick.ini", huge);
    const Settings settings = loadSettings(path, kScreen);
    EXPECT_EQ(settings.search.maxKeys, 1024);
    EXPECT_FALSE(saveSettings(path, settings, false));
    EXPECT_EQ(test::readFile(path).size(), huge.size());
}

TEST(Settings, EditorCommandRoundTripsAndHostileValuesLoadAsTheDetectedEditor)
{
    test::TempTree tree;
    EXPECT_EQ(loadFrom(tree, "[Settings]\n").editorCommand, "");
    EXPECT_EQ(loadFrom(tree, "[Settings]\neditorcommand=\"my editor\" +%l %f\n").editorCommand, "\"my editor\" +%l %f");
    const std::string longCommand(1025, 'x');
    for (const std::string& hostile :
        { std::string("vi\x01 %f"), std::string("vi\t%f"), std::string("   "), std::string("vi \x7F%f"), longCommand })
        EXPECT_EQ(loadFrom(tree, "[Settings]\neditorcommand=" + hostile + "\n").editorCommand, "") << hostile.size();
    EXPECT_EQ(loadFrom(tree, "[Settings]\neditorcommand=" + std::string(1024, 'x') + "\n").editorCommand.size(), 1024u);

    // Written once set (a value with blanks around it keeps them), and cleared again when the user empties it.
    const std::string path = tree.write("written.ini", "[Settings]\n");
    Settings settings = loadSettings(path, kScreen);
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_EQ(test::readFile(path).find("editorcommand"), std::string::npos);
    settings.editorCommand = "kate -l %l %f";
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_EQ(loadSettings(path, kScreen).editorCommand, "kate -l %l %f");
    settings.editorCommand.clear();
    ASSERT_TRUE(saveSettings(path, settings, false));
    EXPECT_EQ(loadSettings(path, kScreen).editorCommand, "");
}
