#pragma once

#include "base/unique_fd.h"
#include "documents/container_reader.h"

#include <string>
#include <vector>

namespace vellick::test {

enum class ArchiveFormat { Zip, Tar, TarGz, TarBz2, TarXz, TarZst, SevenZip, Gz, Bz2, Xz };

enum class EntryType { File, Folder, Symlink };

struct ArchiveEntry {
    std::string path;
    std::string data;
    EntryType type = EntryType::File;
    int64_t modified = 1700000000;
    // When set: the entry is sparse with this size and `data` at offset 0 and again at `sparseTail` (tar only).
    int64_t sparseSize = 0;
    int64_t sparseTail = 0;
};

// Builds an archive in memory with libarchive's writer. `options` go to archive_write_set_options, with
// `passphrase` for encrypted zips.
std::string buildArchive(ArchiveFormat format, const std::vector<ArchiveEntry>& entries,
    const std::string& options = "", const std::string& passphrase = "");

// A zip of the given parts, as office documents are made.
std::string zipOf(const std::vector<std::pair<std::string, std::string>>& parts);

// A memory file holding `bytes`.
UniqueFd memoryFileWith(const std::string& bytes);

// The whole content of a descriptor from offset 0.
std::string contentOf(int fd);

struct ReadMember {
    std::string path;
    int64_t size;
    int64_t modified;
    bool cutAtLimit;
    std::string content;
    int64_t allocatedBytes; // memory the member's memfd really holds
};

struct ReadResult {
    std::vector<ReadMember> members;
    std::vector<ContainerNotice> notices;
    bool hasNotice(const std::string& path, ContainerProblem problem) const;
};

ReadResult readAll(const std::string& bytes, ContainerKind kind, const ContainerLimits& limits = {});

// A PDF made by Qt's PDF writer, one page per string (empty when the tests are built without Qt Gui).
std::string pdfWithPages(const std::vector<std::string>& pages);

} // namespace vellick::test
