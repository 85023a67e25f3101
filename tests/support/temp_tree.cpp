#include "support/temp_tree.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vellick::test {

TempTree::TempTree()
{
    std::string pattern = (fs::temp_directory_path() / "vellick-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_root = fs::canonical(pattern).string();
}

TempTree::~TempTree()
{
    std::error_code ignored;
    // Make every folder writable again first, so that tests may take rights away.
    for (auto it = fs::recursive_directory_iterator(m_root, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_root, ignored);
}

std::string TempTree::path(std::string_view relative) const
{
    return m_root + "/" + std::string(relative);
}

std::string TempTree::rewrite(std::string_view relative, std::string_view content) const
{
    const std::string full = path(relative);
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const bool written = fd >= 0
        && ::pwrite(fd, content.data(), content.size(), 0) == static_cast<ssize_t>(content.size())
        && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw std::runtime_error("cannot rewrite " + full);
    return full;
}

std::string TempTree::write(std::string_view relative, std::string_view content) const
{
    const std::string full = path(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream file(full, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::string TempTree::makeFolder(std::string_view relative) const
{
    const std::string full = path(relative);
    fs::create_directories(full);
    return full;
}

void TempTree::setModified(std::string_view relative, long long seconds, long nanoseconds) const
{
    const std::string full = path(relative);
    struct timespec times[2] = { { seconds, nanoseconds }, { seconds, nanoseconds } };
    utimensat(AT_FDCWD, full.c_str(), times, 0);
}

std::string TempTree::makeFifo(std::string_view relative) const
{
    const std::string full = path(relative);
    if (::mkfifo(full.c_str(), 0644) != 0)
        throw std::runtime_error("cannot make a FIFO");
    return full;
}

std::string TempTree::makeSocket(std::string_view relative) const
{
    const std::string full = path(relative);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (full.size() >= sizeof address.sun_path)
        throw std::runtime_error("socket path too long");
    full.copy(address.sun_path, full.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot make a socket");
    return full;
}

std::string TempTree::makeSymlink(std::string_view target, std::string_view relative) const
{
    const std::string full = path(relative);
    fs::create_symlink(std::string(target), full);
    return full;
}

void TempTree::setMode(std::string_view relative, unsigned mode) const
{
    fs::permissions(path(relative), static_cast<fs::perms>(mode), fs::perm_options::replace);
}

bool pathExists(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace vellick::test
