#include "settings/whole_file.h"

#include "search/unique_fd.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

// "" for a bare name, "/" for a file in the root.
std::string folderOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that is to be replaced: the path after following a link, and its status when it exists.
struct Target {
    std::string path;
    std::optional<struct stat> existing;
};

struct FreeMemory {
    void operator()(char* memory) const { std::free(memory); }
};

std::string followLink(const std::string& path)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    const std::unique_ptr<char, FreeMemory> resolved(::realpath(path.c_str(), nullptr));
    return resolved ? std::string(resolved.get()) : path; // a dangling link is replaced by the file
}

std::optional<Target> writableTarget(const std::string& path)
{
    Target target { followLink(path), std::nullopt };
    struct stat info { };
    if (::stat(target.path.c_str(), &info) != 0)
        return errno == ENOENT ? std::optional(target) : std::nullopt;
    // The rename would succeed over a read-only file, so its write bits are asked here. Checking the
    // bits as well as access() keeps a read-only file read-only for root too.
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || ::access(target.path.c_str(), W_OK) != 0)
        return std::nullopt;
    target.existing = info;
    return target;
}

// Removes the temporary file unless the rename has taken it.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile()
    {
        m_fd.reset();
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd.get(); }
    bool valid() const { return m_fd.valid(); }
    bool renameTo(const std::string& target)
    {
        m_fd.reset();
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return false;
        m_path.clear();
        return true;
    }

private:
    UniqueFd m_fd;
    std::string m_path;
};

TemporaryFile::TemporaryFile(const std::string& target)
{
    static std::atomic<unsigned> counter { 0 };
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        std::string path = folder;
        path.append(".").append(name).append(".").append(std::to_string(::getpid()));
        path.append("-").append(std::to_string(counter++)).append("-").append(std::to_string(now.tv_nsec));
        path.append(".tmp");
        // Mode 0666 lets the umask decide for a new file, as for any file the user creates.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            m_fd.reset(fd);
            m_path = path;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

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

bool takeOverAttributes(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; otherwise the file simply becomes the user's own.
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

void syncFolderOf(const std::string& path)
{
    const std::string folder = folderOfPath(path);
    const UniqueFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get()); // the rename is done; a failure here cannot be undone and is not fatal
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
    const auto target = writableTarget(path);
    if (!target)
        return false;
    TemporaryFile temporary(target->path);
    if (!temporary.valid() || !writeAll(temporary.fd(), content))
        return false;
    if (target->existing && !takeOverAttributes(temporary.fd(), *target->existing))
        return false;
    // Flushed before the rename, so that after a crash the name never points at an empty or short file.
    if (::fsync(temporary.fd()) != 0 || !temporary.renameTo(target->path))
        return false;
    syncFolderOf(target->path);
    return true;
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
