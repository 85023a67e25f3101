// The document-text extractor on arbitrary content parts of every office format (wrapped in a zip as a
// document has them), on arbitrary zips read as office documents, and on arbitrary PDFs: it must never
// crash or hang, the text must stay within the limit, and text that was not cut must be valid UTF-8.
#include "documents/container_reader.h"
#include "support/fuzz_check.h"

#include <archive.h>
#include <archive_entry.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

using namespace vellick;
using vellick::fuzz::fuzzCheck;

namespace {

la_ssize_t appendTo(archive*, void* target, const void* data, size_t size)
{
    static_cast<std::string*>(target)->append(static_cast<const char*>(data), size);
    return static_cast<la_ssize_t>(size);
}

std::string zipOf(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::string bytes;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open(a, &bytes, nullptr, appendTo, nullptr);
    for (const auto& [name, data] : parts) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(data.size()));
        archive_write_header(a, entry);
        archive_write_data(a, data.data(), data.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return bytes;
}

bool validUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 6                 ? 2
            : (lead >> 4) == 14                ? 3
            : (lead >> 3) == 30                ? 4
                                               : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
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
    const UniqueFd fd(::memfd_create("fuzz", MFD_CLOEXEC));
    fuzzCheck(::write(fd.get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()), "memfd write");

    std::vector<ContainerNotice> notices;
    readContainer(
        fd.get(), kind, limits, nullptr,
        [&](const ContainerMember& member) {
            std::string text;
            char block[16384];
            off_t at = 0;
            for (ssize_t got; (got = ::pread(member.fd, block, sizeof block, at)) > 0; at += got)
                text.append(block, static_cast<std::size_t>(got));
            fuzzCheck(text.size() <= limits.maxExpandedBytes, "the text stays within the limit");
            if (member.path.empty() && !member.cutAtLimit)
                fuzzCheck(validUtf8(text), "a document's text that was not cut is valid UTF-8");
            return true;
        },
        notices);
    return 0;
}
