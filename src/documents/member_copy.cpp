#include "documents/member_copy.h"

#include "documents/archive_handle.h"
#include "documents/memory_file.h"

#include <archive.h>

namespace vellick {

namespace {

// The archive is read in blocks of this size, so the bytes read for an entry are known only to within one
// block: the expansion ratio is taken against the bytes read plus one block, which spares small members
// that were decompressed from a block read for an earlier one.
constexpr uint64_t kCompressedSlack = 64 * 1024;

} // namespace

bool expandsTooMuch(uint64_t expanded, uint64_t compressedRead, const ContainerLimits& limits)
{
    const uint64_t base = compressedRead + kCompressedSlack;
    return limits.maxExpansionRatio > 0 && base <= UINT64_MAX / limits.maxExpansionRatio
        && expanded > base * limits.maxExpansionRatio;
}

MemberCopy copyMember(
    ArchiveHandle& handle, int64_t declaredSize, const ContainerLimits& limits, const std::atomic<bool>* cancel)
{
    MemberCopy copy;
    MemoryFileWriter writer(limits.maxExpandedBytes);
    const int64_t readBefore = handle.bytesRead();
    bool complete = false;
    while (!writer.failed() && !writer.cut() && !(cancel && cancel->load(std::memory_order_relaxed))) {
        const void* data = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(handle.get(), &data, &size, &offset);
        if (status == ARCHIVE_EOF) {
            complete = true;
            break;
        }
        if (status < ARCHIVE_WARN || offset < 0) {
            copy.damaged = true;
            break;
        }
        copy.damaged = copy.damaged || status == ARCHIVE_WARN; // such as a wrong checksum: the data is kept
        writer.writeAt(static_cast<uint64_t>(offset), std::string_view(static_cast<const char*>(data), size));
        const uint64_t compressed = static_cast<uint64_t>(handle.bytesRead() - readBefore);
        if (expandsTooMuch(static_cast<uint64_t>(offset) + size, compressed, limits)) {
            copy.cutAtLimit = true;
            break;
        }
    }
    // A sparse entry may end in a hole, and one cut where its data passed the limit keeps the holes up to the
    // limit, so that the content is always the member's first bytes. A declared size past the limit is a cut
    // even when the data stops short.
    if ((complete || writer.cut()) && declaredSize > 0)
        writer.extendTo(static_cast<uint64_t>(declaredSize));
    copy.cutAtLimit = copy.cutAtLimit || writer.cut();
    copy.fd = writer.take();
    return copy;
}

} // namespace vellick
