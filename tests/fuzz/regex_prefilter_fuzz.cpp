// The regex prefilter on arbitrary expressions and text: every line in which the expression matches must be
// one the prefilter lets RE2 look at, whatever literals or run of byte sets it chose.
#include "search/regex_matcher.h"
#include "search/regex_prefilter.h"
#include "search/search_options.h"
#include "support/fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <string>

using namespace vellick;
using vellick::fuzz::fuzzCheck;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const uint8_t choices = data.ConsumeIntegral<uint8_t>();
    const uint32_t flags = ((choices & 1) ? uint32_t { IgnoreCase } : 0u) | ((choices & 2) ? WholeWord : 0u);
    const std::string expression = data.ConsumeRandomLengthString(48);
    const std::string text = data.ConsumeRemainingBytesAsString();
    if (regexError(expression))
        return 0;
    const RegexMatcher matcher(expression, flags);
    if (!matcher.prefilter().active())
        return 0;
    RegexPrefilter::LineFinder finder(matcher.prefilter());
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t feed = text.find('\n', begin);
        const std::size_t end = feed == std::string::npos ? text.size() : feed + 1;
        if (matcher.find(text, begin, end, true)) {
            const RegexPrefilter::LineFinder::Lines lines = finder.next(text, begin, end);
            fuzzCheck(lines.begin < end, "a line with a match is one the prefilter lets through");
        }
        begin = end;
    }
    return 0;
}
