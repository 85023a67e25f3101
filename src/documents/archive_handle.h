#pragma once

#include <archive.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace vellick {

enum class ArchiveFormats {
    Archives, // zip, tar, 7z (each possibly compressed)
    TarOrRaw, // a compressed tar, or else the compressed file's content as one "raw" member
};

// A libarchive reader over a file descriptor, read with pread from offset 0 on (the descriptor's own offset
// is neither used nor moved, so one descriptor can be read several times). Only the named formats and the
// gzip, bzip2, xz, lzma and zstd filters are enabled: nothing starts an outside program.
class ArchiveHandle {
public:
    ArchiveHandle(int fd, ArchiveFormats formats);
    ~ArchiveHandle();
    ArchiveHandle(const ArchiveHandle&) = delete;
    ArchiveHandle& operator=(const ArchiveHandle&) = delete;

    // False when the formats were not recognised or the file could not be read.
    bool opened() const { return m_opened; }
    archive* get() const { return m_archive; }
    // Bytes read from the file so far: the compressed side, for the expansion ratio.
    int64_t bytesRead() const { return m_bytesRead; }
    bool isRaw() const;

private:
    static la_ssize_t readCallback(archive*, void* self, const void** buffer);
    static la_int64_t seekCallback(archive*, void* self, la_int64_t offset, int whence);
    static la_int64_t skipCallback(archive*, void* self, la_int64_t request);

    int m_fd;
    int64_t m_offset = 0;
    int64_t m_size = 0;
    int64_t m_bytesRead = 0;
    std::vector<unsigned char> m_buffer;
    archive* m_archive;
    bool m_opened = false;
};

} // namespace vellick
