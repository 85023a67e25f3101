#include "fileops/member_copies.h"

#include "base/parent_directory.h"
#include "base/unique_fd.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

std::string parentFolder()
{
    for (const char* variable : { "XDG_RUNTIME_DIR", "TMPDIR" }) {
        const char* value = std::getenv(variable);
        if (value && value[0] == '/')
            return value;
    }
    return "/tmp";
}

bool writeAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0)
        return false;
    std::array<unsigned char, 65536> buffer {};
    for (;;) {
        const std::size_t got = readFully(from, buffer.data(), buffer.size());
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.data(), got))
            return false;
    }
}

std::string cannotExtractText(const CLine& line)
{
    return "Can not extract \"" + line.shownPath() + "\".";
}

// The archive as it was searched, open; not open when it is gone or has changed since.
UniqueFd openSearchedContainer(const CLine& line)
{
    const ParentDirectory parent(line.path);
    UniqueFd fd(::openat(parent.fd(), parent.name(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)
        || status.st_mtim.tv_sec != line.inside->containerStatus.modified
        || status.st_mtim.tv_nsec != line.inside->containerStatus.modifiedNanoseconds)
        fd.reset();
    return fd;
}

} // namespace

std::string memberCopyName(std::string_view member)
{
    const std::string_view name = memberName(member);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos
        || name.find('\0') != std::string_view::npos)
        return "member";
    return std::string(name);
}

MemberCopies::~MemberCopies()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored); // symbolic links are removed, never followed
    }
}

bool MemberCopies::makeFolder()
{
    if (m_folderFd >= 0)
        return true;
    std::string pattern = (m_parent.empty() ? parentFolder() : m_parent) + "/vellick-members-XXXXXX";
    if (!::mkdtemp(pattern.data())) // mode 0700
        return false;
    m_folderFd = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_folderFd < 0) {
        ::rmdir(pattern.c_str());
        return false;
    }
    m_folder = std::move(pattern);
    return true;
}

MemberCopies::Copy MemberCopies::extract(const CLine& line, bool readOnly)
{
    if (!line.isMember())
        return { {}, cannotExtractText(line) };
    const UniqueFd container = openSearchedContainer(line);
    if (!container.valid())
        return { {}, "File \"" + line.path + "\" has been modified since last searching, or is gone." };
    const std::optional<UniqueFd> bytes = extractMember(container.get(), line.inside->kind, line.inside->member, {});
    if (!bytes || !makeFolder())
        return { {}, cannotExtractText(line) };
    // A sub-folder of its own for each copy: copies of members with one name never meet.
    const std::string subFolder = std::to_string(++m_copies);
    if (::mkdirat(m_folderFd, subFolder.c_str(), 0700) != 0)
        return { {}, cannotExtractText(line) };
    const UniqueFd subFd(::openat(m_folderFd, subFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const std::string name = memberCopyName(line.inside->member);
    const UniqueFd out(::openat(
        subFd.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, readOnly ? 0400 : 0600));
    if (!subFd.valid() || !out.valid() || !copyContent(bytes->get(), out.get()))
        return { {}, cannotExtractText(line) };
    const std::array<timespec, 2> times { timespec { line.modified, 0 }, timespec { line.modified, 0 } };
    ::futimens(out.get(), times.data());
    return { m_folder + "/" + subFolder + "/" + name, {} };
}

} // namespace vellick
