#include "documents/archive_handle.h"

#include <archive.h>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

void enableFormats(archive* a, ArchiveFormats formats)
{
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_bzip2(a);
    archive_read_support_filter_xz(a);
    archive_read_support_filter_lzma(a);
    archive_read_support_filter_zstd(a);
    archive_read_support_format_tar(a);
    archive_read_support_format_gnutar(a);
    if (formats == ArchiveFormats::Archives) {
        archive_read_support_format_zip(a);
        archive_read_support_format_7zip(a);
    } else {
        archive_read_support_format_raw(a);
    }
}

} // namespace

ArchiveHandle::ArchiveHandle(int fd, ArchiveFormats formats)
    : m_fd(fd)
    , m_buffer(kReadBlock)
    , m_archive(archive_read_new())
{
    struct stat info { };
    if (!m_archive || ::fstat(fd, &info) != 0)
        return;
    m_size = info.st_size;
    enableFormats(m_archive, formats);
    archive_read_set_read_callback(m_archive, &ArchiveHandle::readCallback);
    archive_read_set_seek_callback(m_archive, &ArchiveHandle::seekCallback);
    archive_read_set_skip_callback(m_archive, &ArchiveHandle::skipCallback);
    archive_read_set_callback_data(m_archive, this);
    m_opened = archive_read_open1(m_archive) == ARCHIVE_OK;
}

ArchiveHandle::~ArchiveHandle()
{
    if (m_archive)
        archive_read_free(m_archive);
}

bool ArchiveHandle::isRaw() const
{
    return archive_format(m_archive) == ARCHIVE_FORMAT_RAW;
}

la_ssize_t ArchiveHandle::readCallback(archive* a, void* self, const void** buffer)
{
    auto* handle = static_cast<ArchiveHandle*>(self);
    for (;;) {
        const ssize_t got = ::pread(handle->m_fd, handle->m_buffer.data(), handle->m_buffer.size(), handle->m_offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            archive_set_error(a, errno, "read error");
            return -1;
        }
        handle->m_offset += got;
        handle->m_bytesRead += got;
        *buffer = handle->m_buffer.data();
        return got;
    }
}

la_int64_t ArchiveHandle::seekCallback(archive*, void* self, la_int64_t offset, int whence)
{
    auto* handle = static_cast<ArchiveHandle*>(self);
    int64_t target = offset;
    if (whence == SEEK_CUR)
        target = handle->m_offset + offset;
    else if (whence == SEEK_END)
        target = handle->m_size + offset;
    if (target < 0)
        return ARCHIVE_FATAL;
    handle->m_offset = target;
    return target;
}

la_int64_t ArchiveHandle::skipCallback(archive*, void* self, la_int64_t request)
{
    auto* handle = static_cast<ArchiveHandle*>(self);
    if (request < 0)
        return 0;
    const int64_t room = handle->m_size > handle->m_offset ? handle->m_size - handle->m_offset : 0;
    const int64_t skipped = request < room ? request : room;
    handle->m_offset += skipped;
    return skipped;
}

} // namespace vellick
