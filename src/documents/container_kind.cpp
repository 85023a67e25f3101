#include "documents/container_reader.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vellick {

namespace {

bool startsWith(std::span<const unsigned char> head, std::string_view magic, std::size_t at = 0)
{
    return head.size() >= at + magic.size()
        && std::equal(magic.begin(), magic.end(), head.begin() + static_cast<std::ptrdiff_t>(at),
            [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

bool endsWithNoCase(std::string_view name, std::string_view suffix)
{
    return name.size() >= suffix.size()
        && std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
            [](char wanted, char found) { return std::tolower(static_cast<unsigned char>(found)) == wanted; });
}

bool isZip(std::span<const unsigned char> head)
{
    using namespace std::string_view_literals;
    return startsWith(head, "PK\x03\x04"sv) || startsWith(head, "PK\x05\x06"sv);
}

bool isBzip2(std::span<const unsigned char> head)
{
    using namespace std::string_view_literals;
    // "BZh", the block size digit, then the magic of a first block or of the end of an empty stream: text
    // that merely starts with "BZh" is not taken for a compressed file.
    return startsWith(head, "BZh"sv) && head.size() >= 10 && head[3] >= '1' && head[3] <= '9'
        && (startsWith(head, "\x31\x41\x59\x26\x53\x59"sv, 4) || startsWith(head, "\x17\x72\x45\x38\x50\x90"sv, 4));
}

bool isCompressed(std::span<const unsigned char> head)
{
    using namespace std::string_view_literals;
    return startsWith(head, "\x1f\x8b\x08"sv) || isBzip2(head) || startsWith(head, "\xfd\x37\x7a\x58\x5a\x00"sv)
        || startsWith(head, "\x28\xb5\x2f\xfd"sv);
}

bool namesCompressedTar(std::string_view name)
{
    constexpr std::array suffixes { ".tar.gz", ".tgz", ".tar.bz2", ".tbz2", ".tbz", ".tar.xz", ".txz", ".tar.zst",
        ".tzst" };
    return std::any_of(suffixes.begin(), suffixes.end(), [&](std::string_view s) { return endsWithNoCase(name, s); });
}

bool namesOfficeDocument(std::string_view name)
{
    constexpr std::array suffixes { ".odt", ".ods", ".odp", ".docx", ".xlsx", ".pptx" };
    return std::any_of(suffixes.begin(), suffixes.end(), [&](std::string_view s) { return endsWithNoCase(name, s); });
}

bool isPdf(std::string_view name, std::span<const unsigned char> head)
{
    // Readers accept the header anywhere in the first kilobyte (some producers put junk before it); a text
    // file that merely mentions it near its start is not a PDF, so there the name must say so too.
    using namespace std::string_view_literals;
    if (startsWith(head, "%PDF-"sv))
        return true;
    if (!endsWithNoCase(name, ".pdf"))
        return false;
    const std::size_t limit = std::min<std::size_t>(head.size(), 1024);
    const std::string_view text(reinterpret_cast<const char*>(head.data()), limit);
    return text.find("%PDF-"sv) != std::string_view::npos;
}

} // namespace

ContainerKind containerKindOf(std::string_view fileName, std::span<const unsigned char> head)
{
    using namespace std::string_view_literals;
    if (isZip(head))
        return namesOfficeDocument(fileName) ? ContainerKind::OfficeDocument : ContainerKind::Archive;
    if (startsWith(head, "7z\xbc\xaf\x27\x1c"sv) || startsWith(head, "ustar"sv, 257))
        return ContainerKind::Archive;
    if (isCompressed(head))
        return namesCompressedTar(fileName) ? ContainerKind::Archive : ContainerKind::Compressed;
    if (isPdf(fileName, head))
        return ContainerKind::Pdf;
    return ContainerKind::None;
}

} // namespace vellick
