// The production file scanner against the literal reference scanner on arbitrary bytes, keyword texts,
// panel choices and hit limits: any difference in found, kind or hits is a finding. The file may be moved
// behind filler so that its bytes straddle the scanner's 51200-byte blocks or its larger reads. The scan
// plan built for each input is checked too.
#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_options.h"
#include "search/text_rules.h"
#include "support/fuzz_check.h"
#include "support/reference_scanner.h"
#include "support/scratch_folder.h"

#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>

using namespace vellick;
using vellick::fuzz::fuzzCheck;

namespace {

constexpr std::size_t kBlock = ScanPlan::kBlockSize;
constexpr std::size_t kRead = 20 * kBlock; // the production scanner's read size

// The flags Start gives for this text and these choices, or nothing when Start would refuse the keywords.
std::optional<uint32_t> startFlags(const std::string& text, uint8_t choices)
{
    uint32_t flags = (choices & 1) ? 0u : uint32_t { IgnoreCase };
    if (hasSeveralWords(text)) {
        const int mode = (choices >> 1) % 3;
        flags |= mode == 0 ? AllWords : mode == 1 ? AnyWord : WholePhrase;
    }
    if (flags & WholePhrase) {
        if (!isValidKeyword(text))
            return std::nullopt;
    } else {
        for (std::string_view word : splitWords(text)) {
            if (!isValidKeyword(word))
                return std::nullopt;
        }
    }
    if ((choices & 8) && !(flags & WholePhrase))
        flags |= WholeWord;
    if (choices & 16)
        flags |= UnicodeAware;
    return flags;
}

int hitLimit(uint8_t choice)
{
    return choice < 200 ? 1 + choice % 4 : 1024;
}

// Filler in front of the file's bytes: none, or enough to put them across a block or a read boundary. The
// reference is slow, so only with few patterns.
std::size_t fillerSize(FuzzedDataProvider& input, std::size_t patternCount)
{
    const int where = input.ConsumeIntegralInRange(0, 9);
    const std::size_t back = input.ConsumeIntegralInRange<std::size_t>(0, 7000);
    if (where == 8 && patternCount <= 8)
        return kBlock - std::min(back, kBlock);
    if (where == 9 && patternCount <= 2)
        return kRead - back;
    return 0;
}

void checkPlan(const ScanPlan& plan)
{
    fuzzCheck(plan.carrySize() >= ScanPlan::kMinCarry, "the carry area holds at least 3200 bytes");
    for (std::size_t i = 0; i < plan.patternCount(); ++i) {
        const CompiledPattern& pattern = plan.pattern(i);
        fuzzCheck(pattern.bytes.size() <= plan.carrySize(), "a pattern fits the carry area");
        for (const auto& probe : pattern.probe) {
            if (probe)
                fuzzCheck(probe->first < pattern.bytes.size() && probe->second < pattern.bytes.size(), "probe");
        }
    }
}

void compare(const ScanResult& actual, const vellick::test::ReferenceScan& expected)
{
    fuzzCheck(actual.opened == expected.opened, "opened as the reference");
    fuzzCheck(actual.found == expected.found, "found as the reference");
    if (!expected.found)
        return;
    fuzzCheck(static_cast<int>(actual.kind) == expected.kind, "the file kind of the reference");
    fuzzCheck(actual.hits.size() == expected.hits.size(), "as many hits as the reference");
    for (std::size_t i = 0; i < actual.hits.size(); ++i) {
        const Hit& hit = actual.hits[i];
        const auto& reference = expected.hits[i];
        fuzzCheck(hit.offset == reference.offset, "hit offset");
        fuzzCheck(hit.line == reference.line, "hit line");
        fuzzCheck(hit.length == reference.length, "hit length");
        fuzzCheck(hit.pattern == reference.pattern, "hit pattern");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint8_t choices = input.ConsumeIntegral<uint8_t>();
    const int maxKeys = hitLimit(input.ConsumeIntegral<uint8_t>());
    const char filler = static_cast<char>(input.ConsumeIntegral<uint8_t>());
    const std::string text = trimText(cutText(input.ConsumeRandomLengthString(400), kMaxKeywordText));
    const auto flags = startFlags(text, choices);
    if (text.size() < 2 || !flags)
        return 0;
    const KeywordList keywords(text, *flags);
    const std::size_t fillerBytes = fillerSize(input, keywords.count());
    const std::string file = std::string(fillerBytes, filler) + input.ConsumeRemainingBytesAsString();

    const ScanPlan plan(keywords, maxKeys);
    checkPlan(plan);
    FileScanner scanner(plan);
    ScanResult actual;
    const std::string path = vellick::fuzz::ScratchFolder::write("scanned", file);
    scanner.scan(AT_FDCWD, path.c_str(), actual);
    vellick::test::ReferenceScanner reference(keywords.patterns(), *flags, maxKeys);
    compare(actual, reference.scan(file));
    return 0;
}
