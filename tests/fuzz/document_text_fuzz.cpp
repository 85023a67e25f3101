// The document-text extractor on arbitrary content parts of every office format (wrapped in a zip as a
// document has them), on arbitrary zips read as office documents, and on arbitrary PDFs: it must never
// crash or hang, the text must stay within the limit, and text that was not cut must be valid UTF-8.
#include "documents/container_reader.h"
#include "documents/test_archives.h"
#include "search/utf8_sequence.h"
#include "support/fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vellick;
using vellick::fuzz::fuzzCheck;
using vellick::test::contentOf;
using vellick::test::memoryFileWith;
using vellick::test::zipOf;

namespace {

bool validUtf8(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string documentFrom(FuzzedDataProvider& input, ContainerKind& kind)
{
    kind = ContainerKind::OfficeDocument;
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0:
        return zipOf({ { "content.xml", input.ConsumeRemainingBytesAsString() } });
    case 1:
        return zipOf({ { "word/document.xml", input.ConsumeRemainingBytesAsString() } });
    case 2: {
        std::string second = input.ConsumeRandomLengthString(4096);
        return zipOf({ { "ppt/slides/slide2.xml", second },
            { "ppt/slides/slide1.xml", input.ConsumeRemainingBytesAsString() } });
    }
    case 3: {
        std::string strings = input.ConsumeRandomLengthString(4096);
        return zipOf({ { "xl/worksheets/sheet1.xml", input.ConsumeRemainingBytesAsString() },
            { "xl/sharedStrings.xml", strings } });
    }
    case 4:
        return input.ConsumeRemainingBytesAsString();
    default:
        kind = ContainerKind::Pdf;
        return input.ConsumeRemainingBytesAsString();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    ContainerLimits limits;
    limits.maxExpandedBytes = input.ConsumeBool() ? 2048 : 1 << 20;
    ContainerKind kind = ContainerKind::None;
    const std::string bytes = documentFrom(input, kind);
    const UniqueFd fd = memoryFileWith(bytes);

    std::vector<ContainerNotice> notices;
    readContainer(
        fd.get(), kind, limits, nullptr,
        [&](const ContainerMember& member) {
            const std::string text = contentOf(member.fd);
            fuzzCheck(text.size() <= limits.maxExpandedBytes, "the text stays within the limit");
            if (member.path.empty() && !member.cutAtLimit)
                fuzzCheck(validUtf8(text), "a document's text that was not cut is valid UTF-8");
            return true;
        },
        notices);
    return 0;
}
