#include "documents/test_archives.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>

#ifdef VELLICK_TESTS_WRITE_PDF
#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#endif

namespace vellick::test {

namespace {

void setFormat(archive* a, ArchiveFormat format)
{
    switch (format) {
    case ArchiveFormat::Zip:
        archive_write_set_format_zip(a);
        break;
    case ArchiveFormat::SevenZip:
        archive_write_set_format_7zip(a);
        break;
    case ArchiveFormat::Gz:
    case ArchiveFormat::Bz2:
    case ArchiveFormat::Xz:
        archive_write_set_format_raw(a);
        break;
    default:
        archive_write_set_format_pax_restricted(a);
        break;
    }
    if (format == ArchiveFormat::TarGz || format == ArchiveFormat::Gz)
        archive_write_add_filter_gzip(a);
    if (format == ArchiveFormat::TarBz2 || format == ArchiveFormat::Bz2)
        archive_write_add_filter_bzip2(a);
    if (format == ArchiveFormat::TarXz || format == ArchiveFormat::Xz)
        archive_write_add_filter_xz(a);
    if (format == ArchiveFormat::TarZst)
        archive_write_add_filter_zstd(a);
}

la_ssize_t appendTo(archive*, void* target, const void* data, size_t size)
{
    static_cast<std::string*>(target)->append(static_cast<const char*>(data), size);
    return static_cast<la_ssize_t>(size);
}

void writeEntry(archive* a, const ArchiveEntry& wanted)
{
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, wanted.path.c_str());
    archive_entry_set_mtime(entry, wanted.modified, 0);
    archive_entry_set_perm(entry, 0644);
    if (wanted.type == EntryType::Folder) {
        archive_entry_set_filetype(entry, AE_IFDIR);
    } else if (wanted.type == EntryType::Symlink) {
        archive_entry_set_filetype(entry, AE_IFLNK);
        archive_entry_set_symlink(entry, wanted.data.c_str());
    } else {
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_size(
            entry, wanted.sparseSize ? wanted.sparseSize : static_cast<la_int64_t>(wanted.data.size()));
        if (wanted.sparseSize) {
            archive_entry_sparse_add_entry(entry, 0, static_cast<la_int64_t>(wanted.data.size()));
            archive_entry_sparse_add_entry(entry, wanted.sparseTail, static_cast<la_int64_t>(wanted.data.size()));
        }
    }
    if (archive_write_header(a, entry) != ARCHIVE_OK)
        throw std::runtime_error(std::string("archive header: ") + archive_error_string(a));
    if (wanted.type == EntryType::File) {
        archive_write_data(a, wanted.data.data(), wanted.data.size());
        if (wanted.sparseSize)
            archive_write_data(a, wanted.data.data(), wanted.data.size());
    }
    archive_entry_free(entry);
}

} // namespace

std::string buildArchive(ArchiveFormat format, const std::vector<ArchiveEntry>& entries, const std::string& options,
    const std::string& passphrase)
{
    std::string bytes;
    archive* a = archive_write_new();
    setFormat(a, format);
    // Small archives are not padded to tar's 10 KiB records, so tests can cut them short where they like.
    archive_write_set_bytes_in_last_block(a, 1);
    if (!options.empty() && archive_write_set_options(a, options.c_str()) != ARCHIVE_OK)
        throw std::runtime_error(std::string("archive options: ") + archive_error_string(a));
    if (!passphrase.empty())
        archive_write_set_passphrase(a, passphrase.c_str());
    archive_write_open(a, &bytes, nullptr, appendTo, nullptr);
    for (const ArchiveEntry& entry : entries)
        writeEntry(a, entry);
    archive_write_close(a);
    archive_write_free(a);
    return bytes;
}

std::string zipOf(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::vector<ArchiveEntry> entries;
    for (const auto& [name, text] : parts)
        entries.push_back({ name, text });
    return buildArchive(ArchiveFormat::Zip, entries);
}

UniqueFd memoryFileWith(const std::string& bytes)
{
    UniqueFd fd(::memfd_create("test", MFD_CLOEXEC));
    if (!bytes.empty() && ::write(fd.get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("memfd write");
    return fd;
}

std::string contentOf(int fd)
{
    std::string content;
    char block[65536];
    off_t at = 0;
    for (ssize_t got; (got = ::pread(fd, block, sizeof block, at)) > 0; at += got)
        content.append(block, static_cast<std::size_t>(got));
    return content;
}

bool ReadResult::hasNotice(const std::string& path, ContainerProblem problem) const
{
    return std::any_of(notices.begin(), notices.end(),
        [&](const ContainerNotice& notice) { return notice.memberPath == path && notice.problem == problem; });
}

ReadResult readAll(const std::string& bytes, ContainerKind kind, const ContainerLimits& limits)
{
    const UniqueFd fd = memoryFileWith(bytes);
    ReadResult result;
    readContainer(
        fd.get(), kind, limits, nullptr,
        [&](const ContainerMember& member) {
            struct stat info { };
            ::fstat(member.fd, &info);
            result.members.push_back({ member.path, member.size, member.modified, member.cutAtLimit,
                contentOf(member.fd), static_cast<int64_t>(info.st_blocks) * 512 });
            return true;
        },
        result.notices);
    return result;
}

std::string pdfWithPages(const std::vector<std::string>& pages)
{
#ifdef VELLICK_TESTS_WRITE_PDF
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_documents";
        static char* argv[] = { name, nullptr };
        static QGuiApplication application(argc, argv);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    QFont font("DejaVu Sans");
    font.setPointSize(12);
    painter.setFont(font);
    for (std::size_t index = 0; index < pages.size(); ++index) {
        if (index > 0)
            writer.newPage();
        painter.drawText(QPointF(200, 400), QString::fromStdString(pages[index]));
    }
    painter.end();
    return buffer.data().toStdString();
#else
    (void)pages;
    return std::string();
#endif
}

} // namespace vellick::test
