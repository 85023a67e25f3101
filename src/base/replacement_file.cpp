#include "base/replacement_file.h"

#include "base/directory_listing.h"
#include "base/parent_directory.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";

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

// The folder holding `path`, ready for listing or opening; "." for a bare name.
std::string openableFolderOf(const std::string& path)
{
    const std::string folder = folderOfPath(path);
    return folder.empty() ? "." : folder;
}

// Where a folder has the sticky bit, only the owner of a file (or of the folder) may replace it.
bool stickyFolderForbidsRename(const std::string& path, const struct stat& target)
{
    struct stat folder { };
    const uid_t user = ::geteuid();
    return ::stat(openableFolderOf(path).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 && user != 0
        && target.st_uid != user && folder.st_uid != user;
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
    // Writing the file in place instead could not keep the old content safe: refused before anything is
    // touched.
    if (stickyFolderForbidsRename(target.path, info))
        return std::nullopt;
    return target;
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
    const UniqueFd fd(::open(openableFolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get()); // the rename is done; a failure here cannot be undone and is not fatal
}

// The longest name the folder takes; 255 on the usual file systems.
std::size_t longestNameIn(const std::string& folder)
{
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : NAME_MAX;
}

// Hidden, beside the file, and unique: ".name.<pid>-<counter>-<ns>.tmp". When that would be longer than
// the folder takes, the name in it is cut so that the whole is exactly `longest` bytes.
std::string temporaryName(std::string_view name, std::string_view unique, std::size_t longest)
{
    const std::size_t frame = 2 + unique.size() + kTemporarySuffix.size();
    if (frame + name.size() > longest)
        name = name.substr(0, longest > frame ? longest - frame : 0);
    std::string temporary(".");
    temporary.append(name).append(".").append(unique);
    return temporary.append(kTemporarySuffix);
}

std::string uniquePart(unsigned counter, long nanoseconds)
{
    return std::to_string(::getpid()) + "-" + std::to_string(counter) + "-" + std::to_string(nanoseconds);
}

// A number as std::to_string writes it: digits only, no leading zero, no sign.
bool isWrittenNumber(std::string_view text)
{
    unsigned long long value = 0;
    if (text.empty() || (text.size() > 1 && text.front() == '0'))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Whether `entry` is named exactly as temporaryName() names a temporary file of `name`.
bool isTemporaryOf(std::string_view entry, std::string_view name, std::size_t longest)
{
    if (entry.size() <= kTemporarySuffix.size() || !entry.ends_with(kTemporarySuffix))
        return false;
    const std::string_view stem = entry.substr(0, entry.size() - kTemporarySuffix.size());
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view unique = stem.substr(dot + 1);
    const std::size_t firstDash = unique.find('-');
    const std::size_t secondDash = unique.find('-', firstDash == std::string_view::npos ? 0 : firstDash + 1);
    if (secondDash == std::string_view::npos || !isWrittenNumber(unique.substr(0, firstDash))
        || !isWrittenNumber(unique.substr(firstDash + 1, secondDash - firstDash - 1))
        || !isWrittenNumber(unique.substr(secondDash + 1)))
        return false;
    return entry == temporaryName(name, unique, longest);
}

// A temporary file is abandoned when no writer holds its lock. Neither the process id in its name (a
// writer in another PID namespace or on another host) nor a failure to lock (a file system without
// locks) says anything about the writer. A writer takes the lock right after creating the file; should
// its file go in that instant, its commit fails and the old file stays as it was.
bool isAbandoned(int folderFd, const char* entry)
{
    const UniqueFd fd(::openat(folderFd, entry, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat info { };
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace

bool ReplacementFile::open(const std::string& path)
{
    discard();
    const auto target = writableTarget(path);
    if (!target)
        return false;
    m_target = target->path;
    removeAbandonedTemporaries();
    if (!createTemporary() || (target->existing && !takeOverAttributes(m_fd.get(), *target->existing))) {
        discard();
        return false;
    }
    return true;
}

bool ReplacementFile::createTemporary()
{
    static std::atomic<unsigned> counter { 0 };
    const std::string folder = m_target.substr(0, m_target.rfind('/') + 1); // with its slash; "" for a bare name
    const std::string name = m_target.substr(folder.size());
    const std::size_t longest = longestNameIn(openableFolderOf(m_target));
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        std::string path = folder + temporaryName(name, uniquePart(counter++, now.tv_nsec), longest);
        // Mode 0666 lets the umask decide for a new file, as for any file the user creates.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            m_fd.reset(fd);
            m_temporary = std::move(path);
            // Held until the rename: other writers see by it that this file is not abandoned.
            ::flock(fd, LOCK_EX | LOCK_NB);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool ReplacementFile::commit()
{
    if (!m_fd.valid())
        return false;
    // Flushed before the rename, so that after a crash the name never points at an empty or short file.
    // The descriptor, and with it the lock, is kept until the file has its name.
    if (::fsync(m_fd.get()) != 0 || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    m_fd.reset();
    syncFolderOf(m_target);
    m_target.clear();
    return true;
}

void ReplacementFile::discard()
{
    m_fd.reset();
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
}

// A writer killed mid-save (kill -9, a crash, a power cut) leaves its temporary file behind. Only files
// named exactly as this class names them for this target are looked at, and only those no writer holds
// locked are removed: a live writer's file may be about to be renamed, even where that writer's process
// cannot be seen (another PID namespace, another host on a shared folder).
void ReplacementFile::removeAbandonedTemporaries() const
{
    const UniqueFd folder(::open(openableFolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DirectoryListing listing;
    if (!folder.valid() || !listing.read(folder.get()))
        return;
    const std::string_view name = std::string_view(m_target).substr(m_target.rfind('/') + 1);
    const std::size_t longest = longestNameIn(openableFolderOf(m_target));
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string entry(listing.name(i));
        if (isTemporaryOf(entry, name, longest) && isAbandoned(folder.get(), entry.c_str()))
            ::unlinkat(folder.get(), entry.c_str(), 0);
    }
}

} // namespace vellick
