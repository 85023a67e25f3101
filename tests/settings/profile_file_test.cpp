#include "settings/ini_document.h"
#include "settings/profile_file.h"
#include "support/temp_tree.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>

using namespace vellick;
using namespace std::string_literals;

namespace {

ProfileFile loaded(const test::TempTree& tree, const std::string& content)
{
    ProfileFile file(tree.write("vellick.ini", content));
    file.load();
    return file;
}

std::string edited(const std::string& text, const std::string& key, const std::string& value)
{
    IniDocument document(text);
    EXPECT_TRUE(document.set("Settings", key, value));
    return document.text();
}

} // namespace

TEST(ProfileFile, IntegersAreSignAndLeadingDigits)
{
    const std::pair<const char*, int> cases[]
        = { { "12", 12 }, { "+7", 7 }, { "-8", -8 }, { " 5 ", 5 }, { "12abc", 12 }, { "abc", 0 }, { "", 0 },
              { "- 5", 0 }, { "0x10", 0 }, { "99999999999", INT_MAX }, { "-99999999999", INT_MIN } };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseProfileInt(text), expected) << text;

    test::TempTree tree;
    const ProfileFile file = loaded(tree, "[settings]\nMaxKeys = 40\nempty=\n[Other]\nwleft=3\n");
    EXPECT_EQ(file.getInt("SETTINGS", "maxkeys", 1), 40);
    EXPECT_EQ(file.getInt("Settings", "empty", 9), 0);
    EXPECT_EQ(file.getInt("Settings", "wleft", 9), 9);
    EXPECT_EQ(file.getInt("Missing", "maxkeys", 9), 9);
    EXPECT_EQ(ProfileFile(tree.path("none.ini")).getInt("Settings", "maxkeys", 9), 9);
}

TEST(ProfileFile, StringsLoseBlanksThenOnePairOfQuotes)
{
    test::TempTree tree;
    const ProfileFile file = loaded(tree,
        "[Settings]\na=  hello  \nb=\"quoted\"\nc='single'\nd=\"mixed'\ne=\"  x  \"\nf=\"\"x\"\"\ng=\"\nh=\t\"\"\n"
        "i=ab\0cd\nlong=0123456789\n"s);
    const std::pair<const char*, std::string> cases[]
        = { { "a", "hello" }, { "b", "quoted" }, { "c", "single" }, { "d", "\"mixed'" }, { "e", "  x  " },
              { "f", "\"x\"" }, { "g", "\"" }, { "h", "" }, { "i", "ab" }, { "long", "01234" } };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(file.getString("Settings", key, "default", key == "long"s ? 5 : 100), expected) << key;
    EXPECT_EQ(file.getString("Settings", "missing", "*.*", 5), "*.*");
}

TEST(ProfileFile, ValuesReadBackAsWritten)
{
    std::mt19937 random(7);
    const std::string alphabet = "a =;[]\t\"'\x80\xff"s;
    test::TempTree tree;
    ProfileFile file(tree.path("vellick.ini"));
    for (int round = 0; round < 2000; ++round) {
        std::string value(random() % 8, ' ');
        for (char& c : value)
            c = alphabet[random() % alphabet.size()];
        ASSERT_TRUE(file.setString("Settings", "keys1", value));
        ASSERT_EQ(file.getString("Settings", "keys1", "", 100), value) << '[' << value << ']';
    }
    // A value stays one line and a NUL ends it, as in the program's buffers.
    file.setString("Settings", "keys1", "a\nb\r\nc\0d"s);
    EXPECT_EQ(file.getString("Settings", "keys1", "", 100), "a b  c");
    EXPECT_EQ(file.text(), "[Settings]\nkeys1=a b  c\n");
}

TEST(IniDocument, EditsInPlaceAndKeepsEverythingElse)
{
    const std::string text = "; comment\n[Other]\nmaxkeys=1\n\n[settings]\n  MaxKeys = 5 \nzz=1\n\n[Last]\nx\n";
    EXPECT_EQ(
        edited(text, "maxkeys", "6"), "; comment\n[Other]\nmaxkeys=1\n\n[settings]\n  MaxKeys =6\nzz=1\n\n[Last]\nx\n");
    EXPECT_EQ(edited(text, "new", "v"),
        "; comment\n[Other]\nmaxkeys=1\n\n[settings]\n  MaxKeys = 5 \nzz=1\nnew=v\n\n[Last]\nx\n");
    EXPECT_EQ(edited("[Other]\na=1", "k", "v"), "[Other]\na=1\n[Settings]\nk=v\n");
    EXPECT_EQ(edited("", "k", "v"), "[Settings]\nk=v\n");
    EXPECT_EQ(edited("[Settings]\r\nk=1\r\n", "k", "2"), "[Settings]\r\nk=2\r\n");
    EXPECT_EQ(edited("[Settings]\r\nk=1", "n", "2"), "[Settings]\r\nk=1\r\nn=2\r\n");

    IniDocument document("[Settings]\nk=1\n");
    for (const auto& [section, key] : { std::pair { "Settings", "a=b" }, { "Settings", "" }, { "Set]tings", "k" },
             { "Settings", "[k" }, { "Settings", " k" }, { "Settings", "k\n" } })
        EXPECT_FALSE(document.set(section, key, "x")) << section << " / " << key;
    EXPECT_EQ(document.text(), "[Settings]\nk=1\n");
}

TEST(IniDocument, DuplicatesFirstSectionAndFirstKeyWin)
{
    const std::string text = "[Settings]\na=1\na=2\n[SETTINGS]\na=3\nb=4\n";
    const IniDocument document(text);
    EXPECT_EQ(document.find("Settings", "a"), "1");
    EXPECT_FALSE(document.find("Settings", "b"));
    EXPECT_EQ(edited(text, "a", "9"), "[Settings]\na=9\na=2\n[SETTINGS]\na=3\nb=4\n");
    EXPECT_EQ(edited(text, "b", "9"), "[Settings]\na=1\na=2\nb=9\n[SETTINGS]\na=3\nb=4\n");
}

TEST(IniDocument, GarbageSurvivesByteForByte)
{
    std::mt19937 random(11);
    const std::string specials = "[]=\r\n\0 ;\""s;
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 400, '\0');
        for (char& c : text)
            c = (random() % 2) ? specials[random() % specials.size()] : static_cast<char>(random());
        IniDocument document(text);
        ASSERT_EQ(document.text(), text);
        ASSERT_TRUE(document.set("Settings", "maxkeys", "77"));
        ASSERT_EQ(document.find("Settings", "maxkeys"), "77");
        // Garbage holds no [Settings] section, so the section is appended behind everything that was there.
        EXPECT_TRUE(document.text().starts_with(text));
    }
}

TEST(ProfileFile, HugeLinesAndNulBytesAreRead)
{
    test::TempTree tree;
    const std::string huge(10u << 20, 'x');
    ProfileFile file = loaded(tree, "[Settings]\nkeys1=" + huge + "\nmaxkeys=7\0junk\n"s);
    EXPECT_EQ(file.getString("Settings", "keys1", "", 3199), std::string(3199, 'x'));
    EXPECT_EQ(file.getInt("Settings", "maxkeys", 1), 7);
    ASSERT_TRUE(file.writeString("Settings", "maxkeys", "8"));
    EXPECT_EQ(test::readFile(file.path()), "[Settings]\nkeys1=" + huge + "\nmaxkeys=8\n");
}
