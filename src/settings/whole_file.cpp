#include "settings/whole_file.h"

#include "base/parent_directory.h"
#include "base/replacement_file.h"
#include "base/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

WholeFile readWholeFile(const std::string& path, std::size_t maxSize)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return { errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Unusable, {} };
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > maxSize)
        return { FileReadStatus::Unusable, {} };
    WholeFile file { FileReadStatus::Read, {} };
    file.content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || file.content.size() + static_cast<std::size_t>(got) > maxSize)
            return { FileReadStatus::Unusable, {} };
        if (got == 0)
            return file;
        file.content.append(buffer, static_cast<std::size_t>(got));
    }
}

bool replaceWholeFile(const std::string& path, std::string_view content)
{
    ReplacementFile file;
    return file.open(path) && writeAll(file.fd(), content) && file.commit();
}

bool makeParentFolders(const std::string& filePath)
{
    const std::string folder = folderOfPath(filePath);
    if (folder.empty())
        return true;
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    struct stat info { };
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace vellick
