// The search texts at every limit: 3199 keyword characters, 100 words (50 with unicode aware), 32
// characters a word, "?" alone, a 3199-character phrase and its 6398-byte wide form across the scanner's
// reads, and an 8191-character file-pattern text of 40 pieces.
#include "search/file_patterns.h"
#include "search/file_scanner.h"
#include "search/folder_walk.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_request.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

// Start's checks on a keyword text, with an empty folder text (the current directory, left as it is).
SearchRequest requestFor(
    const std::string& keywords, MatchMode mode = MatchMode::AnyWord, bool unicode = false, bool wholeWord = false)
{
    PanelInput input;
    input.keywordText = keywords;
    input.matchMode = mode;
    input.unicodeAware = unicode;
    input.wholeWord = wholeWord;
    return prepareSearch(input);
}

ScanResult scanFile(const KeywordList& keywords, const std::string& path)
{
    const ScanPlan plan(keywords, 1024);
    FileScanner scanner(plan);
    ScanResult result;
    scanner.scan(AT_FDCWD, path.c_str(), result);
    return result;
}

// "w000 w001 ..." : `count` distinct words of four characters.
std::string numberedWords(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "w%03d", i);
        text += (i > 0 ? " " : "") + std::string(word);
    }
    return text;
}

std::string wideForm(const std::string& text)
{
    std::string wide;
    for (char c : text) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}

} // namespace

TEST(TextLimitsTest, KeywordTextIsCutAt3199Characters)
{
    const SearchRequest request = requestFor(std::string(3300, 'k') + " tail");
    ASSERT_TRUE(request.criteria) << request.message;
    EXPECT_EQ(request.criteria->keywordText, std::string(3199, 'k'));
    const KeywordList keywords(request.criteria->keywordText, request.criteria->flags);
    ASSERT_EQ(keywords.count(), 1u);
    EXPECT_EQ(keywords.pattern(0), std::string(32, 'k'));

    // Whoever builds a list, a phrase never outgrows its 3199-byte slot (found by fuzzing).
    const KeywordList phrase(std::string(5000, 'p'), WholePhrase | UnicodeAware);
    EXPECT_EQ(phrase.pattern(0).size(), 3199u);
    EXPECT_EQ(phrase.pattern(1).size(), 6398u);
}

TEST(TextLimitsTest, AHundredWordsCountAndThe101stIsIgnored)
{
    TempTree tree;
    const std::string text = numberedWords(101);
    const SearchRequest request = requestFor(text);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->keywordText, text);
    const KeywordList keywords(text, request.criteria->flags);
    ASSERT_EQ(keywords.count(), 100u);
    EXPECT_EQ(keywords.pattern(99), "w099");
    EXPECT_TRUE(scanFile(keywords, tree.write("hundredth.txt", "only w099 here")).found);
    EXPECT_FALSE(scanFile(keywords, tree.write("extra.txt", "only w100 here")).found);

    // With unicode aware the wide forms take half of the slots: 50 words, then their 50 wide forms.
    const KeywordList unicode(numberedWords(51), request.criteria->flags | UnicodeAware);
    ASSERT_EQ(unicode.count(), 100u);
    EXPECT_EQ(unicode.pattern(49), "w049");
    EXPECT_EQ(unicode.pattern(50),
        std::string("\xFFw\xFF"
                    "0\xFF"
                    "0\xFF"
                    "0",
            8));
    EXPECT_TRUE(scanFile(unicode, tree.write("wide49.txt", wideForm("xx w049"))).found);
    EXPECT_FALSE(scanFile(unicode, tree.write("plain50.txt", "only w050 here")).found);
}

TEST(TextLimitsTest, WordsLongerThan32CharactersAreSearchedAsTheirFirst32)
{
    TempTree tree;
    const std::string word33 = std::string(32, 'a') + "b";
    const std::string word40 = std::string(32, 'c') + "dddddddd";
    const std::string file = tree.write("long.txt", "x " + word33 + " y " + word40 + " z\n");
    const KeywordList plain(word33 + " " + word40, IgnoreCase | AllWords);
    ASSERT_EQ(plain.count(), 2u);
    const ScanResult found = scanFile(plain, file);
    ASSERT_TRUE(found.found);
    ASSERT_EQ(found.hits.size(), 2u);
    EXPECT_EQ(found.hits[0].offset, 2u);
    EXPECT_EQ(found.hits[0].length, 32u);
    EXPECT_EQ(found.hits[1].offset, 2u + 33 + 3);

    // Whole word: the cut pattern demands a delimiter after the 32nd character, which the file never has.
    const SearchRequest request = requestFor(word33 + " " + word40, MatchMode::AnyWord, false, true);
    ASSERT_TRUE(request.criteria);
    const KeywordList whole(request.criteria->keywordText, request.criteria->flags);
    EXPECT_EQ(whole.pattern(0), " " + std::string(32, 'a') + " ");
    EXPECT_FALSE(scanFile(whole, file).found);
}

TEST(TextLimitsTest, KeywordsOfQuestionMarksAloneAreRefused)
{
    EXPECT_EQ(requestFor("??").message, kBadWordMessage);
    EXPECT_EQ(requestFor("ab ??? cd").message, kBadWordMessage);
    EXPECT_EQ(requestFor(std::string(3199, '?')).message, kBadWordMessage);
    EXPECT_EQ(requestFor(std::string(3199, '?'), MatchMode::WholePhrase).message, kBadWordMessage); // one word
    EXPECT_EQ(requestFor("????? ??", MatchMode::WholePhrase).criteria.has_value(), true); // holds a space
    EXPECT_TRUE(requestFor("?a a?").criteria);
}

// A 3199-character phrase and its 6398-byte wide form, each planted across the points where the scanner
// reads on or moves to its next block, are found once at the right place.
TEST(TextLimitsTest, LongestPhraseAndItsWideFormAcrossReads)
{
    std::string phrase;
    while (phrase.size() < 3199)
        phrase += phrase.empty() ? "ab" : " ab";
    phrase.resize(3199);
    const SearchRequest request = requestFor(phrase, MatchMode::WholePhrase, true);
    ASSERT_TRUE(request.criteria) << request.message;
    const KeywordList keywords(request.criteria->keywordText, request.criteria->flags);
    ASSERT_EQ(keywords.count(), 2u);
    ASSERT_EQ(keywords.pattern(1).size(), 6398u);

    TempTree tree;
    // 51200: a block boundary inside the first read; 20 * 51200: the end of the first read.
    for (const std::size_t boundary : { std::size_t { 51200 }, std::size_t { 20 * 51200 } }) {
        std::string plain(boundary + 8000, '.');
        plain.replace(boundary - 1500, phrase.size(), phrase);
        const ScanResult plainResult = scanFile(keywords, tree.write("plain.txt", plain));
        ASSERT_EQ(plainResult.hits.size(), 1u) << boundary;
        EXPECT_EQ(plainResult.hits[0].offset, boundary - 1500);
        EXPECT_EQ(plainResult.hits[0].length, 3199u);

        std::string wide(boundary + 8000, '.');
        wide.replace(boundary - 3000, 6398, wideForm(phrase));
        const ScanResult wideResult = scanFile(keywords, tree.write("wide.txt", wide));
        ASSERT_EQ(wideResult.hits.size(), 1u) << boundary;
        EXPECT_EQ(wideResult.hits[0].offset, boundary - 3000 - 1); // the wide form's "?" takes the byte in front
        EXPECT_EQ(wideResult.hits[0].length, 6398u);
        EXPECT_EQ(wideResult.hits[0].pattern, 1);
    }
}

// 40 pieces in 8191 characters: the first 31 are used, the rest ignored.
TEST(TextLimitsTest, FilePatternTextOf8191CharactersWith40Pieces)
{
    TempTree tree;
    std::string text;
    for (int piece = 1; piece <= 40; ++piece) {
        char name[32];
        std::snprintf(name, sizeof name, "f%02d.txt", piece);
        tree.write(name, "x");
        text += std::string(piece > 1 ? ";" : "") + std::string(240, '*') + name;
    }
    PanelInput input;
    input.keywordText = "xx";
    input.filePatterns = text;
    const SearchRequest request = prepareSearch(input);
    ASSERT_TRUE(request.criteria);
    EXPECT_EQ(request.criteria->filePatterns.size(), 8191u);
    const std::vector<std::string> patterns = splitFilePatterns(request.criteria->filePatterns);
    ASSERT_EQ(patterns.size(), 31u);

    FolderWalk walk(patterns, false, false);
    walk.start(tree.root());
    std::vector<std::string> files;
    for (auto event = walk.next(); event != FolderWalk::EventType::Done; event = walk.next()) {
        if (event == FolderWalk::EventType::File)
            files.emplace_back(walk.name());
    }
    ASSERT_EQ(files.size(), 31u);
    EXPECT_EQ(files.front(), "f01.txt");
    EXPECT_EQ(files.back(), "f31.txt");
}
