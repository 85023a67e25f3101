#include "base/paths.h"
#include "search/search_request.h"
#include "support/current_directory_guard.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

class SearchRequestTest : public testing::Test {
protected:
    PanelInput input(std::string keywords)
    {
        PanelInput panel;
        panel.keywordText = std::move(keywords);
        panel.folder = m_tree.root();
        panel.filePatterns = "*.txt";
        return panel;
    }

    CurrentDirectoryGuard m_cwd;
    TempTree m_tree;
};

} // namespace

TEST_F(SearchRequestTest, TrimsTheTextsAndResolvesTheFolder)
{
    PanelInput panel = input("  ab\tcd \n");
    panel.folder = " " + m_tree.makeFolder("sub") + "\t";
    panel.filePatterns = " \n";
    const SearchRequest request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->keywordText, "ab cd");
    EXPECT_EQ(request.criteria->folder, m_tree.path("sub"));
    EXPECT_EQ(request.criteria->filePatterns, "*.*");
    EXPECT_TRUE(request.patternsDefaulted);
    EXPECT_EQ(request.criteria->rootFolder, m_tree.path("sub"));
    EXPECT_EQ(request.currentFolder, m_tree.path("sub"));
    EXPECT_NE(currentDirectory(), m_tree.path("sub")); // the process's current directory stays
}

TEST_F(SearchRequestTest, EmptyFolderMeansTheCurrentDirectory)
{
    ASSERT_EQ(::chdir(m_tree.root().c_str()), 0);
    PanelInput panel = input("ab");
    panel.folder = "   ";
    const SearchRequest request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->folder, m_tree.root());
}

// The front end's current folder, not the process's, is what an empty or relative folder text starts from.
TEST_F(SearchRequestTest, FolderTextStartsAtTheGivenCurrentFolder)
{
    m_tree.write("base/sub/deeper/x.txt", "x");
    m_tree.makeSymlink(m_tree.path("base/sub"), "link");
    PanelInput panel = input("ab");
    panel.currentFolder = m_tree.path("base");
    panel.folder = "";
    EXPECT_EQ(prepareSearch(panel).criteria->rootFolder, m_tree.path("base"));
    EXPECT_EQ(prepareSearch(panel).criteria->folder, m_tree.path("base"));
    panel.folder = "sub/deeper/";
    const SearchRequest request = prepareSearch(panel);
    EXPECT_EQ(request.criteria->folder, "sub/deeper/"); // as typed, for the recent list
    EXPECT_EQ(request.criteria->rootFolder, m_tree.path("base/sub/deeper"));
    panel.folder = "../link/./deeper";
    EXPECT_EQ(prepareSearch(panel).criteria->rootFolder, m_tree.path("base/sub/deeper")); // links resolved
    for (const char* notAFolder : { "sub/deeper/x.txt", "gone", "../gone" }) {
        panel.folder = notAFolder;
        const SearchRequest refused = prepareSearch(panel);
        EXPECT_FALSE(refused.criteria) << notAFolder;
        EXPECT_EQ(refused.message, "Directory \"" + std::string(notAFolder) + "\" not found");
        EXPECT_FALSE(refused.currentFolder);
    }
    // The folder check passed, the keyword check did not: the folder is current all the same.
    panel.folder = "sub";
    panel.keywordText = "??";
    const SearchRequest badKeywords = prepareSearch(panel);
    EXPECT_FALSE(badKeywords.criteria);
    EXPECT_EQ(badKeywords.currentFolder, m_tree.path("base/sub"));
}

// A folder text longer than the limit is refused whole: cut, it would name another folder (its parent).
TEST_F(SearchRequestTest, FolderTextOverTheLimitIsRefused)
{
    std::string relative = "d";
    while (m_tree.root().size() + relative.size() < kMaxFolderText - 40)
        relative += "/abcdefghij";
    const std::string folder = m_tree.makeFolder(relative);
    const std::string atLimit = folder + "/" + std::string(kMaxFolderText - folder.size() - 1, 'k');
    ASSERT_EQ(atLimit.size(), kMaxFolderText);
    m_tree.makeFolder(atLimit.substr(m_tree.root().size() + 1));
    PanelInput panel = input("ab");
    panel.folder = "  " + atLimit + "  ";
    EXPECT_EQ(prepareSearch(panel).criteria->rootFolder, atLimit);
    const std::string overLimit = atLimit + "k";
    m_tree.makeFolder(overLimit.substr(m_tree.root().size() + 1));
    panel.folder = overLimit;
    const SearchRequest request = prepareSearch(panel);
    EXPECT_FALSE(request.criteria);
    EXPECT_EQ(request.message, "Directory \"" + overLimit + "\" not found");
}

TEST_F(SearchRequestTest, TildeMeansHome)
{
    m_tree.makeFolder("home/docs");
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", m_tree.path("home").c_str(), 1);
    PanelInput panel = input("ab");
    panel.folder = "~/docs";
    const SearchRequest request = prepareSearch(panel);
    ::setenv("HOME", savedHome.c_str(), 1);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->rootFolder, m_tree.path("home/docs"));
}

// Without HOME (or with an empty one) "~" is the user's home folder from the password database; a text
// that only begins with "~" is a name.
TEST(ExpandHome, FallsBackToThePasswordDatabase)
{
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const std::string home = entry->pw_dir;
    ::unsetenv("HOME");
    EXPECT_EQ(expandHome("~"), home);
    EXPECT_EQ(expandHome("~/x"), home + "/x");
    ::setenv("HOME", "", 1);
    EXPECT_EQ(expandHome("~/x"), home + "/x");
    ::setenv("HOME", "/somewhere", 1);
    EXPECT_EQ(expandHome("~/x"), "/somewhere/x");
    EXPECT_EQ(expandHome("~x"), "~x");
    EXPECT_EQ(expandHome("a/~"), "a/~");
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

TEST_F(SearchRequestTest, MissingFolderIsReportedBeforeBadKeywords)
{
    PanelInput panel = input("??");
    panel.folder = " " + m_tree.path("gone") + " ";
    const SearchRequest request = prepareSearch(panel);
    EXPECT_FALSE(request.criteria);
    EXPECT_EQ(request.message, "Directory \"" + m_tree.path("gone") + "\" not found");
}

TEST_F(SearchRequestTest, KeywordMessages)
{
    EXPECT_EQ(prepareSearch(input("??")).message,
        "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.");
    // Three characters are not several words: one keyword, which fails the word check (the word "a").
    EXPECT_EQ(prepareSearch(input("a b")).message,
        "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.");
    EXPECT_EQ(prepareSearch(input("ab ?? cd")).message,
        "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.");
    // A phrase always holds a space, so it is never made of "?" alone and passes.
    PanelInput phrase = input("??  ??");
    phrase.matchMode = MatchMode::WholePhrase;
    EXPECT_TRUE(prepareSearch(phrase).criteria);
}

TEST_F(SearchRequestTest, PhraseChecksTheWholeText)
{
    PanelInput panel = input("a b c");
    panel.matchMode = MatchMode::WholePhrase;
    EXPECT_TRUE(prepareSearch(panel).criteria); // single letters are fine inside a phrase
    panel.keywordText = "? ?";
    // Three characters: not several words, so the mode is not read and the word check fails.
    const SearchRequest request = prepareSearch(panel);
    EXPECT_FALSE(request.criteria);
    EXPECT_FALSE(request.matchModeRead);
}

TEST_F(SearchRequestTest, FlagsFollowThePanel)
{
    PanelInput panel = input("ab");
    panel.matchMode = MatchMode::AnyWord;
    panel.wholeWord = true;
    panel.subFolders = true;
    SearchRequest request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    // One keyword: the mode combo is not read.
    EXPECT_EQ(request.criteria->flags, uint32_t { IgnoreCase | SubFolders | WholeWord });
    EXPECT_FALSE(request.matchModeRead);

    panel.keywordText = "ab cd";
    panel.matchCase = true;
    panel.unicodeAware = true;
    request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->flags, uint32_t { SubFolders | AnyWord | WholeWord | UnicodeAware });
    EXPECT_TRUE(request.matchModeRead);

    // "match whole phrase" drops "match whole word".
    panel.matchMode = MatchMode::WholePhrase;
    request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->flags, uint32_t { SubFolders | WholePhrase | UnicodeAware });
}

TEST_F(SearchRequestTest, TextsAreCutBeforeTrimming)
{
    PanelInput panel = input(std::string(3199, 'k') + "zz");
    const SearchRequest request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->keywordText, std::string(3199, 'k'));
    // A space that falls beyond the limit leaves one word.
    panel.keywordText = std::string(3199, 'k') + " zz";
    EXPECT_EQ(prepareSearch(panel).criteria->keywordText, std::string(3199, 'k'));
}

TEST_F(SearchRequestTest, ListedFilesModeStillChecksTheFolder)
{
    PanelInput panel = input("ab");
    panel.listedFilesMode = true;
    panel.folder = m_tree.path("gone");
    EXPECT_FALSE(prepareSearch(panel).criteria);
    panel.folder = m_tree.makeFolder("there");
    const SearchRequest request = prepareSearch(panel);
    ASSERT_TRUE(request.criteria);
    EXPECT_TRUE(request.criteria->listedFilesMode);
    EXPECT_EQ(request.criteria->rootFolder, m_tree.path("there"));
}
