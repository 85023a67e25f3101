#include "support/special_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace vellick::test {

namespace {

std::vector<std::string> entryNames(int folderFd)
{
    std::vector<std::string> names;
    const int readFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir) {
        if (readFd >= 0)
            ::close(readFd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

// Holds one descriptor per level only: the names are read before going down.
void removeEntriesAt(int folderFd)
{
    for (const std::string& name : entryNames(folderFd)) {
        const int child = ::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            ::unlinkat(folderFd, name.c_str(), 0);
            continue;
        }
        ::fchmod(child, 0700);
        removeEntriesAt(child);
        ::close(child);
        ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

bool makeDeviceNode(const std::string& path, char type, unsigned major, unsigned minor)
{
    const mode_t kind = type == 'b' ? S_IFBLK : S_IFCHR;
    return ::mknod(path.c_str(), kind | 0644, makedev(major, minor)) == 0;
}

std::string makeFolderChain(const std::string& folder, const std::string& name, int depth, const std::string& fileName,
    const std::string& content)
{
    std::string path = folder;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth && fd >= 0; ++level) {
        ::mkdirat(fd, name.c_str(), 0755);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        path += "/" + name;
    }
    if (fd < 0)
        return {};
    const int file = ::openat(fd, fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written
        = file >= 0 && ::write(file, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (file >= 0)
        ::close(file);
    ::close(fd);
    return written ? path + "/" + fileName : std::string();
}

void removeTree(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlink(path.c_str());
        return;
    }
    removeEntriesAt(fd);
    ::close(fd);
    ::rmdir(path.c_str());
}

} // namespace vellick::test
