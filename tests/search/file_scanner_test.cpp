#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_options.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

struct HitValues {
    uint64_t offset;
    uint64_t line;
    uint32_t length;
    int pattern;
    bool operator==(const HitValues&) const = default;
};

std::ostream& operator<<(std::ostream& out, const HitValues& hit)
{
    return out << "{" << hit.offset << "," << hit.line << "," << hit.length << "," << hit.pattern << "}";
}

using Hits = std::vector<HitValues>;

class FileScannerTest : public testing::Test {
protected:
    ScanResult scan(const std::string& keywords, uint32_t flags, const std::string& content, int maxKeys = 1024)
    {
        const std::string path = m_tree.write("file.bin", content);
        return scanPath(keywords, flags, path, maxKeys);
    }

    ScanResult scanPath(const std::string& keywords, uint32_t flags, const std::string& path, int maxKeys = 1024)
    {
        const KeywordList list(keywords, flags);
        const ScanPlan plan(list, maxKeys);
        FileScanner scanner(plan);
        ScanResult result;
        scanner.scan(AT_FDCWD, path.c_str(), result);
        return result;
    }

    Hits hits(const std::string& keywords, uint32_t flags, const std::string& content, int maxKeys = 1024)
    {
        Hits values;
        for (const Hit& hit : scan(keywords, flags, content, maxKeys).hits)
            values.push_back({ hit.offset, hit.line, hit.length, hit.pattern });
        return values;
    }

    TempTree m_tree;
};

} // namespace

TEST_F(FileScannerTest, CaseIsIgnoredUnlessMatchCase)
{
    EXPECT_EQ(hits("abx", IgnoreCase, "..ABX"), (Hits { { 2, 0, 3, 0 } }));
    EXPECT_EQ(hits("abx", 0, "..ABX"), Hits {});
    // Only stream capitals fold: a capital in the keyword never matches a small letter under match case.
    EXPECT_EQ(hits("ABX", 0, "abx ABX"), (Hits { { 4, 0, 3, 0 } }));
}

TEST_F(FileScannerTest, QuestionMarkMatchesOneByteButNotPastTheEnd)
{
    EXPECT_EQ(hits("a?z", IgnoreCase, "abz a-z"), (Hits { { 0, 0, 3, 0 }, { 4, 0, 3, 0 } }));
    EXPECT_EQ(hits("ab?", IgnoreCase, "xxab"), Hits {});
}

TEST_F(FileScannerTest, HitsDoNotOverlapAndFailedAttemptsAreRetried)
{
    EXPECT_EQ(hits("aa", IgnoreCase, "aaaa"), (Hits { { 0, 0, 2, 0 }, { 2, 0, 2, 0 } }));
    EXPECT_EQ(hits("ab", IgnoreCase, "aab"), (Hits { { 1, 0, 2, 0 } }));
    EXPECT_EQ(hits("aab", IgnoreCase, "aaab"), (Hits { { 1, 0, 3, 0 } }));
}

TEST_F(FileScannerTest, LinesCountLineFeedsThroughTheMatch)
{
    EXPECT_EQ(hits("cd", IgnoreCase, "\r\n\n\rcd\n"), (Hits { { 4, 2, 2, 0 } }));
    // A failed attempt over a line feed does not count it twice.
    EXPECT_EQ(hits("a?b", IgnoreCase, "a\na\nb"), (Hits { { 2, 2, 3, 0 } }));
}

TEST_F(FileScannerTest, WholeWordNeedsDelimitersOnBothSides)
{
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord, "cat concat cat."), (Hits { { 0, 0, 3, 0 }, { 11, 0, 3, 0 } }));
    // The trailing delimiter belongs to the match: "cat cat" is one hit, and a word ending the file none.
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord, "cat cat"), (Hits { { 0, 0, 3, 0 } }));
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord, "a cat"), Hits {});
    // A line feed right after the word counts in its line.
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord, "x\ncat\ny"), (Hits { { 2, 2, 3, 0 } }));
    // Any byte that is not a letter or digit delimits, also bytes 0x80 and above.
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord,
                  "\xE9"
                  "cat_"),
        (Hits { { 1, 0, 3, 0 } }));
    EXPECT_EQ(hits("cat", IgnoreCase | WholeWord, "cat9 9cat "), Hits {});
}

TEST_F(FileScannerTest, LongWordIsSearchedAsIts32FirstBytes)
{
    const std::string word(40, 'w');
    EXPECT_EQ(hits(word, IgnoreCase, " " + word + " "), (Hits { { 1, 0, 32, 0 } }));
    // Under whole word the 33rd byte would have to be a delimiter: never a hit.
    EXPECT_EQ(hits(word, IgnoreCase | WholeWord, " " + word + " "), Hits {});
}

TEST_F(FileScannerTest, PhraseSpacesMatchOneBlankEach)
{
    const uint32_t phrase = IgnoreCase | WholePhrase;
    EXPECT_EQ(hits("to be", phrase, "to be"), (Hits { { 0, 0, 5, 0 } }));
    EXPECT_EQ(hits("to be", phrase, "to\nbe"), (Hits { { 0, 1, 5, 0 } }));
    EXPECT_EQ(hits("to be", phrase,
                  "to\x01"
                  "be"),
        (Hits { { 0, 0, 5, 0 } })); // unprintable
    EXPECT_EQ(hits("to be", phrase, "to  be"), Hits {});
    EXPECT_EQ(hits("to be", phrase, "to\r\nbe"), Hits {});
    EXPECT_EQ(hits("to be", phrase, "to-be"), Hits {});
}

TEST_F(FileScannerTest, FileKindComesFromTheFirst256Bytes)
{
    const ScanResult binary = scan("ab", IgnoreCase,
        std::string(255, '\n')
            + "\x80"
              "ab");
    EXPECT_EQ(binary.kind, FileKind::Binary);
    ASSERT_EQ(binary.hits.size(), 1u);
    EXPECT_EQ(binary.hits[0].line, 0u);
    const ScanResult text = scan("ab", IgnoreCase,
        std::string(256, '\n')
            + "\x80"
              "ab");
    EXPECT_EQ(text.kind, FileKind::Text);
    EXPECT_EQ(text.hits[0].line, 256u);
    // Zero and control bytes do not make a file binary.
    EXPECT_EQ(scan("ab", IgnoreCase,
                  std::string("\0\x01\x7F"
                              "ab",
                      5))
                  .kind,
        FileKind::Text);
    // Under whole word the stream's first byte is the added space: file byte 255 is not looked at.
    EXPECT_EQ(scan("ab", IgnoreCase | WholeWord, std::string(255, ' ') + "\x80 ab ").kind, FileKind::Text);
    EXPECT_EQ(scan("ab", IgnoreCase | WholeWord, std::string(254, ' ') + "\x80 ab ").kind, FileKind::Binary);
}

TEST_F(FileScannerTest, SinglePatternSkipsUnprintableBytesInBinaryFiles)
{
    const std::string binary = std::string("\x80 ", 2);
    EXPECT_EQ(hits("ab", IgnoreCase, binary + std::string("a\0b ab", 6)), (Hits { { 6, 0, 2, 0 } }));
    // "?" never matches a skipped byte, not even 0x80 and above.
    EXPECT_EQ(hits("a?b", IgnoreCase,
                  binary
                      + "a\xE9"
                        "b"),
        Hits {});
    EXPECT_EQ(hits("a?b", IgnoreCase, binary + "a\tb"), (Hits { { 2, 0, 3, 0 } })); // white space is kept
    // In a text file nothing is skipped.
    EXPECT_EQ(hits("a?b", IgnoreCase, std::string("a\0b", 3)), (Hits { { 0, 0, 3, 0 } }));
    // Several patterns: no skipping either.
    EXPECT_EQ(hits("a?b zz", IgnoreCase | AnyWord,
                  binary
                      + "a\xE9"
                        "b"),
        (Hits { { 2, 0, 3, 0 } }));
}

TEST_F(FileScannerTest, EmptyAndShortFiles)
{
    const ScanResult empty = scan("ab", IgnoreCase, "");
    EXPECT_TRUE(empty.opened);
    EXPECT_FALSE(empty.found);
    EXPECT_FALSE(scan("abc", IgnoreCase, "ab").found);
    EXPECT_FALSE(scan("ab", IgnoreCase | WholeWord, "ab").found);
}

// A byte above 0x7F among the stream's first 256 bytes makes the file binary, wherever it lies among them
// (also in the last bytes of a short file); one further on does not. Under whole word the stream starts
// with a space, which moves the limit by one.
TEST_F(FileScannerTest, HighByteAmongTheFirst256MakesABinaryFile)
{
    struct Case {
        std::size_t size;
        std::size_t highAt;
        uint32_t flags;
        FileKind kind;
    };
    for (const Case c : { Case { 300, 0, 0, FileKind::Binary }, Case { 300, 7, 0, FileKind::Binary },
             Case { 300, 8, 0, FileKind::Binary }, Case { 300, 255, 0, FileKind::Binary },
             Case { 300, 256, 0, FileKind::Text }, Case { 9, 8, 0, FileKind::Binary },
             Case { 13, 12, 0, FileKind::Binary }, Case { 300, 254, WholeWord, FileKind::Binary },
             Case { 300, 255, WholeWord, FileKind::Text } }) {
        std::string content(c.size, 'x');
        content[c.highAt] = '\xC3';
        EXPECT_EQ(scan("x", c.flags, content).kind, c.kind) << c.size << " " << c.highAt << " " << c.flags;
    }
}

TEST_F(FileScannerTest, ByteFFMatchesZeroOnlyWithSeveralPatterns)
{
    // The 0xFF lies beyond the first 256 bytes, so this is a text file and nothing is skipped.
    const std::string content = std::string("a\0", 2) + std::string(256, ' ') + "a\xFF";
    EXPECT_EQ(hits("a\xFF zz", IgnoreCase | AnyWord, content), (Hits { { 0, 0, 2, 0 }, { 258, 0, 2, 0 } }));
    EXPECT_EQ(hits("a\xFF", IgnoreCase, content), (Hits { { 258, 0, 2, 0 } }));
}

TEST_F(FileScannerTest, MultiPatternSpaceAlwaysMatchesBlanks)
{
    // Under whole word the delimiters match any byte that is not alphanumeric, with one or several patterns.
    EXPECT_EQ(hits("ab cd", IgnoreCase | AnyWord | WholeWord,
                  "(ab)\x01"
                  "cd\xFF"),
        (Hits { { 1, 0, 2, 0 }, { 5, 0, 2, 1 } }));
}

TEST_F(FileScannerTest, MatchAcrossTheReadBoundaryIsFoundOnce)
{
    for (const std::size_t start : { 51190, 51197, 51199, 51200 }) {
        std::string content(start, '\n');
        content += "needle";
        content += std::string(200, 'x');
        EXPECT_EQ(hits("needle", IgnoreCase, content), (Hits { { start, start, 6, 0 } })) << start;
        EXPECT_EQ(hits("needle zz", IgnoreCase | AnyWord, content), (Hits { { start, start, 6, 0 } })) << start;
    }
    // Under whole word the first read holds the added space and 51199 file bytes.
    std::string content(51197, 'x');
    content += " ab ";
    EXPECT_EQ(hits("ab", IgnoreCase | WholeWord, content), (Hits { { 51198, 0, 2, 0 } }));
}

TEST_F(FileScannerTest, HitEndingARead)
{
    // The next attempt starts after the hit, also when the hit ends exactly where a 51200-byte read ends.
    const std::string content = std::string(51198, '.') + "aaa" + std::string(10, '.');
    EXPECT_EQ(hits("aa", IgnoreCase, content), (Hits { { 51198, 0, 2, 0 } }));
    EXPECT_EQ(hits("aa zz", IgnoreCase | AnyWord, content), (Hits { { 51198, 0, 2, 0 } }));
}

TEST_F(FileScannerTest, HitLimits)
{
    EXPECT_EQ(hits("ab", IgnoreCase, "ab ab ab", 1), (Hits { { 0, 0, 2, 0 } }));
    EXPECT_EQ(hits("ab", IgnoreCase, "ab ab ab", 2).size(), 2u);
    // "match any word": one hit in total; pattern by pattern within a read, so "cd" comes first.
    EXPECT_EQ(hits("cd ab", IgnoreCase | AnyWord, "ab cd", 1), (Hits { { 3, 0, 2, 0 } }));
    // "match all words": one hit per word.
    EXPECT_EQ(hits("ab cd", IgnoreCase | AllWords, "ab cd ab cd", 1), (Hits { { 0, 0, 2, 0 }, { 3, 0, 2, 1 } }));
}

TEST_F(FileScannerTest, HitLimitKeepsHitsPerReadPatternByPattern)
{
    // "cd" is scanned first, but it occurs only in the second read: the limit of 2 is reached by the two
    // "ab" hits of the first read.
    const std::string content = "ab ab" + std::string(51200, '.') + "cd";
    EXPECT_EQ(hits("cd ab", IgnoreCase | AnyWord, content, 2), (Hits { { 0, 0, 2, 1 }, { 3, 0, 2, 1 } }));
    // Within one read the first pattern comes first.
    EXPECT_EQ(hits("cd ab", IgnoreCase | AnyWord, "ab ab cd", 2), (Hits { { 0, 0, 2, 1 }, { 6, 0, 2, 0 } }));
}

TEST_F(FileScannerTest, AllWordsNeedsEveryWord)
{
    EXPECT_FALSE(scan("ab cd", IgnoreCase | AllWords, "ab ab").found);
    EXPECT_TRUE(scan("ab cd", IgnoreCase | AnyWord, "ab ab").found);
    // Hits come out in offset order, whatever the pattern order.
    EXPECT_EQ(hits("cd ab", IgnoreCase | AllWords, "ab cd"), (Hits { { 0, 0, 2, 1 }, { 3, 0, 2, 0 } }));
}

TEST_F(FileScannerTest, UnicodeAwareFindsLittleEndianText)
{
    const std::string wide("X\0d\0o\0g\0", 8);
    EXPECT_EQ(hits("dog", IgnoreCase | UnicodeAware, wide), (Hits { { 1, 0, 6, 1 } }));
    // "match all words": a word counts as hit in its plain or its wide form.
    EXPECT_TRUE(scan("dog cat", IgnoreCase | AllWords | UnicodeAware, wide + "cat").found);
    // The wide phrase puts "?" in front of every byte, so it matches any high byte.
    EXPECT_EQ(hits("to be", IgnoreCase | WholePhrase | UnicodeAware,
                  "\x01t\x02o\x03 \x04"
                  "b\x05"
                  "e"),
        (Hits { { 0, 0, 10, 1 } }));
}

TEST_F(FileScannerTest, SpecialAndMissingFilesAreNotOpened)
{
    m_tree.makeFifo("pipe");
    const ScanResult fifo = scanPath("ab", IgnoreCase, m_tree.path("pipe")); // must not block
    EXPECT_FALSE(fifo.opened);
    EXPECT_FALSE(fifo.found);
    EXPECT_FALSE(scanPath("ab", IgnoreCase, m_tree.path("missing")).opened);
    EXPECT_FALSE(scanPath("ab", IgnoreCase, m_tree.makeFolder("folder")).opened);
}

TEST_F(FileScannerTest, StatusIsReadFromTheOpenFile)
{
    m_tree.write("sized", std::string(2048, 'a'));
    m_tree.setModified("sized", 4102444800, 999999999); // 2100-01-01, after 2038
    const ScanResult result = scanPath("aa", IgnoreCase, m_tree.path("sized"), 1);
    EXPECT_EQ(result.status.size, 2048);
    EXPECT_EQ(result.status.modified, 4102444800);
    EXPECT_EQ(result.status.modifiedNanoseconds, 999999999);
}

// A walk that listed the name as a regular file gives the directory's file system: hits and status must be
// those of a scan that asked for the status first, on every kind of file system, for files that fit one
// read or not, found or not; a FIFO put in the file's place is never read as found.
TEST_F(FileScannerTest, ListedFilesGiveTheSameResultsWithoutAskingTheStatusFirst)
{
    const std::string big = std::string(1200000, 'x') + "needle" + std::string(5000, 'y') + "needle";
    const struct {
        const char* name;
        std::string content;
    } files[] = { { "empty", "" }, { "small", "a needle here\n" }, { "none", "nothing\n" }, { "big", big },
        { "bignone", std::string(1100000, 'z') } };
    const KeywordList list("needle", IgnoreCase);
    const ScanPlan plan(list, 1024);
    FileScanner scanner(plan);
    for (const auto& file : files) {
        const std::string path = m_tree.write(file.name, file.content);
        ScanResult expected;
        scanner.scan(AT_FDCWD, path.c_str(), expected);
        for (const FileSystemKind kind : { FileSystemKind::Local, FileSystemKind::Other, FileSystemKind::Generated }) {
            ScanResult actual;
            scanner.scan(AT_FDCWD, path.c_str(), actual, kind);
            const bool generatedCut = kind == FileSystemKind::Generated && file.content.size() > (1u << 20);
            EXPECT_EQ(actual.opened, expected.opened) << file.name;
            if (generatedCut)
                continue; // a generated file system's files are read up to a limit
            EXPECT_EQ(actual.found, expected.found) << file.name;
            EXPECT_EQ(actual.hits.size(), expected.hits.size()) << file.name;
            if (expected.found) {
                EXPECT_EQ(actual.status.size, static_cast<int64_t>(file.content.size())) << file.name;
                EXPECT_EQ(actual.status.modified, expected.status.modified) << file.name;
            }
        }
    }
    m_tree.makeFifo("pipe");
    ScanResult fifo;
    scanner.scan(AT_FDCWD, m_tree.path("pipe").c_str(), fifo, FileSystemKind::Local); // must not block
    EXPECT_FALSE(fifo.found);
}
