// Compares the production file scanner with the literal reference scanner on generated requests and
// files. VELLICK_FUZZ_SEED adds a run with another seed; VELLICK_FUZZ_CASES sets the number of small cases.

#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_options.h"
#include "support/reference_scanner.h"
#include "support/scan_case_generator.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

constexpr uint64_t kFixedSeed = 0x5eed2024;
constexpr int kMaxReportedFailures = 5;

#ifdef NDEBUG
constexpr int kSmallCases = 120000;
constexpr int kMultiBlockCases = 400;
#else
// Unoptimised and sanitizer builds run the same comparison on fewer cases.
constexpr int kSmallCases = 12000;
constexpr int kMultiBlockCases = 60;
#endif

std::vector<uint64_t> seeds()
{
    std::vector<uint64_t> list { kFixedSeed };
    if (const char* text = std::getenv("VELLICK_FUZZ_SEED"); text && *text)
        list.push_back(std::strtoull(text, nullptr, 0));
    return list;
}

int smallCaseCount()
{
    const char* text = std::getenv("VELLICK_FUZZ_CASES");
    return text && *text ? std::atoi(text) : kSmallCases;
}

std::string describeFlags(uint32_t flags)
{
    static const std::pair<uint32_t, const char*> kNames[]
        = { { IgnoreCase, "IgnoreCase" }, { AllWords, "AllWords" }, { AnyWord, "AnyWord" }, { WholeWord, "WholeWord" },
              { WholePhrase, "WholePhrase" }, { UnicodeAware, "UnicodeAware" } };
    std::string text;
    for (const auto& [flag, name] : kNames) {
        if (flags & flag)
            text += std::string(text.empty() ? "" : "|") + name;
    }
    return text.empty() ? "0" : text;
}

std::string describeHit(const ReferenceHit& hit)
{
    std::ostringstream text;
    text << "{offset " << hit.offset << ", line " << hit.line << ", length " << hit.length << ", pattern "
         << hit.pattern << "}";
    return text.str();
}

// The first difference between the two scans, or an empty text when they agree.
std::string difference(const ScanResult& actual, const ReferenceScan& expected)
{
    if (actual.opened != expected.opened || actual.found != expected.found)
        return "opened/found " + std::to_string(actual.opened) + "/" + std::to_string(actual.found) + ", expected "
            + std::to_string(expected.opened) + "/" + std::to_string(expected.found);
    if (!expected.found)
        return {};
    if (static_cast<int>(actual.kind) != expected.kind)
        return "kind " + std::to_string(static_cast<int>(actual.kind)) + ", expected " + std::to_string(expected.kind);
    const std::size_t common = std::min(actual.hits.size(), expected.hits.size());
    for (std::size_t i = 0; i <= common; ++i) {
        if (i == common && actual.hits.size() == expected.hits.size())
            break;
        const ReferenceHit got = i < actual.hits.size()
            ? ReferenceHit { actual.hits[i].offset, actual.hits[i].line, actual.hits[i].length, actual.hits[i].pattern }
            : ReferenceHit {};
        if (i < common && got == expected.hits[i])
            continue;
        return "hit " + std::to_string(i) + " of " + std::to_string(actual.hits.size()) + ": "
            + (i < actual.hits.size() ? describeHit(got) : "none") + ", expected "
            + (i < expected.hits.size() ? describeHit(expected.hits[i]) : "none") + " of "
            + std::to_string(expected.hits.size());
    }
    return {};
}

// One request's production and reference scanners, and the file both scan.
class ScanComparison {
public:
    ScanComparison(const TempTree& tree, const ScanRequest& request)
        : m_request(request)
        , m_keywords(request.keywordText, request.flags)
        , m_plan(m_keywords, request.maxKeys)
        , m_scanner(m_plan)
        , m_reference(m_keywords.patterns(), request.flags, request.maxKeys)
        , m_path(tree.path("case.bin"))
    {
    }

    const std::vector<std::string>& patterns() const { return m_keywords.patterns(); }

    // Writes the file, scans it both ways and reports a difference (empty when none).
    std::string run(const std::string& data)
    {
        writeFile(data);
        m_scanner.scan(AT_FDCWD, m_path.c_str(), m_result);
        const std::string diff = difference(m_result, m_reference.scan(data));
        if (diff.empty())
            return diff;
        return diff + "\n  keywords \"" + escapeBytes(m_request.keywordText) + "\" flags "
            + describeFlags(m_request.flags) + " maxkeys " + std::to_string(m_request.maxKeys) + " patterns "
            + std::to_string(m_keywords.count()) + "\n  file (" + std::to_string(data.size()) + " bytes) \""
            + escapeBytes(data, 300) + "\"";
    }

private:
    // Rewritten in place: truncating to zero first would make the file system flush on every case.
    void writeFile(const std::string& data)
    {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 0), static_cast<ssize_t>(data.size()));
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(data.size())), 0);
        ::close(fd);
    }

    ScanRequest m_request;
    KeywordList m_keywords;
    ScanPlan m_plan;
    FileScanner m_scanner;
    ReferenceScanner m_reference;
    std::string m_path;
    ScanResult m_result;
};

// The file offsets where the 51200-byte reads end (the stream has a leading space under whole word).
std::vector<std::size_t> readBoundaries(uint32_t flags, std::size_t size)
{
    std::vector<std::size_t> boundaries;
    const std::size_t shift = (flags & WholeWord) ? 1 : 0;
    for (std::size_t stream = ScanCaseGenerator::kBlock; stream - shift < size + 64;
         stream += ScanCaseGenerator::kBlock)
        boundaries.push_back(stream - shift);
    return boundaries;
}

FileStyle style(ScanCaseGenerator& generator)
{
    return generator.chance(30) ? FileStyle::TextOnly : FileStyle::Mixed;
}

class ScannerReference : public testing::Test {
protected:
    void check(uint64_t seed, int caseNumber, const std::string& diff)
    {
        if (diff.empty() || ++m_failures > kMaxReportedFailures)
            return;
        ADD_FAILURE() << "seed " << seed << ", case " << caseNumber << ": " << diff;
    }

    TempTree m_tree;
    int m_failures = 0;
};

} // namespace

TEST_F(ScannerReference, SmallFilesAgree)
{
    const int cases = smallCaseCount();
    for (uint64_t seed : seeds()) {
        ScanCaseGenerator generator(seed);
        for (int done = 0; done < cases && m_failures <= kMaxReportedFailures;) {
            ScanComparison comparison(m_tree, generator.request(true));
            for (int i = 0; i < 12; ++i, ++done) {
                const std::size_t size = generator.chance(70) ? generator.below(100) : generator.below(400);
                const std::string data = generator.file(comparison.patterns(), size, style(generator));
                check(seed, done, comparison.run(data));
            }
        }
    }
}

TEST_F(ScannerReference, MultiBlockFilesAgree)
{
    for (uint64_t seed : seeds()) {
        ScanCaseGenerator generator(seed + 1);
        for (int done = 0; done < kMultiBlockCases && m_failures <= kMaxReportedFailures; ++done) {
            const ScanRequest request = generator.request(generator.chance(10));
            ScanComparison comparison(m_tree, request);
            const std::size_t blocks = 1 + generator.below(3);
            const std::size_t size = blocks * ScanCaseGenerator::kBlock + generator.below(601) - 300;
            const std::string data
                = generator.file(comparison.patterns(), size, style(generator), readBoundaries(request.flags, size));
            check(seed, done, comparison.run(data));
        }
    }
}

// Several patterns and a small hit limit: which hits are kept depends on the reads (pattern by pattern
// within each), and hits at equal offsets keep the order in which they were recorded.
TEST_F(ScannerReference, HitLimitsFollowTheReads)
{
    for (uint64_t seed : seeds()) {
        ScanCaseGenerator generator(seed + 3);
        for (int done = 0; done < 2 * kMultiBlockCases && m_failures <= kMaxReportedFailures;) {
            ScanRequest request = generator.chance(30) ? generator.prefixRequest() : generator.request(false);
            request.maxKeys = generator.chance(80) ? 1 + static_cast<int>(generator.below(3)) : 1024;
            ScanComparison comparison(m_tree, request);
            if (comparison.patterns().size() < 2)
                continue;
            const std::size_t size = (1 + generator.below(2)) * ScanCaseGenerator::kBlock + generator.below(4000);
            const std::string data
                = generator.file(comparison.patterns(), size, FileStyle::Sparse, readBoundaries(request.flags, size));
            check(seed, done++, comparison.run(data));
        }
    }
}

// A phrase of nearly 3200 bytes, and with "unicode aware" its wide form of nearly 6400, fails late across
// a read boundary: the scan backs up over more bytes than 3200.
TEST_F(ScannerReference, LongPhrasesBackUpAcrossReads)
{
    for (uint64_t seed : seeds()) {
        ScanCaseGenerator generator(seed + 2);
        for (int done = 0; done < kMultiBlockCases / 8 && m_failures <= kMaxReportedFailures; ++done) {
            const ScanRequest request = generator.longPhraseRequest();
            ScanComparison comparison(m_tree, request);
            const std::size_t unit = request.keywordText.find(' ') + 1;
            const std::vector<std::size_t> units { unit, 2 * unit };
            const std::size_t size = (2 + generator.below(2)) * ScanCaseGenerator::kBlock + generator.below(9000);
            const auto boundaries = readBoundaries(request.flags, size);
            std::string data = generator.file(comparison.patterns(), size, FileStyle::Mixed, boundaries);
            generator.plantLateFailures(data, comparison.patterns(), units, boundaries);
            check(seed, done, comparison.run(data));
        }
    }
}

// The model itself, on known examples: if these fail, the comparison means nothing.
TEST(ReferenceScannerModel, FollowsKnownExamples)
{
    using Hits = std::vector<ReferenceHit>;
    const auto hits = [](std::vector<std::string> patterns, uint32_t flags, std::string_view file) {
        return ReferenceScanner(std::move(patterns), flags, 1024).scan(file).hits;
    };
    EXPECT_EQ(hits({ "aa" }, 0, "aaaa"), (Hits { { 0, 0, 2, 0 }, { 2, 0, 2, 0 } }));
    EXPECT_EQ(hits({ "ab" }, 0, "aab"), (Hits { { 1, 0, 2, 0 } }));
    EXPECT_EQ(hits({ " cat " }, WholeWord, "cat concat cat."), (Hits { { 0, 0, 3, 0 }, { 11, 0, 3, 0 } }));
    EXPECT_EQ(hits({ " cat " }, WholeWord, "x\ncat\n"), (Hits { { 2, 2, 3, 0 } }));
    EXPECT_EQ(hits({ "a\nb", "zz" }, 0, "\na\na\nb"), (Hits { { 3, 3, 3, 0 } }));
    const std::string wide("\xFF"
                           "d\xFF"
                           "o\xFF"
                           "g");
    EXPECT_EQ(hits({ "dog", wide }, UnicodeAware, std::string("x\0d\0o\0g\0", 8)), (Hits { { 1, 0, 6, 1 } }));
}
