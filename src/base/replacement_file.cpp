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
#include <signal.h>
#include <string_view>
#include <sys/stat.h>

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

bool takeOverAttributes(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; otherwise the file simply becomes the user's own.
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The folder holding `path`, ready for listing or opening; "." for a bare name.
std::string openableFolderOf(const std::string& path)
{
    const std::string folder = folderOfPath(path);
    return folder.empty() ? "." : folder;
}

void syncFolderOf(const std::string& path)
{
    const UniqueFd fd(::open(openableFolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get()); // the rename is done; a failure here cannot be undone and is not fatal
}

// Hidden, beside the file, and naming the process that writes it: ".name.<pid>-<counter>-<ns>.tmp".
std::string temporaryName(std::string_view name, unsigned counter, long nanoseconds)
{
    std::string temporary(".");
    temporary.append(name).append(".").append(std::to_string(::getpid()));
    temporary.append("-").append(std::to_string(counter)).append("-").append(std::to_string(nanoseconds));
    return temporary.append(kTemporarySuffix);
}

// A number as std::to_string writes it: digits only, no leading zero, no sign.
std::optional<unsigned long long> writtenNumber(std::string_view text)
{
    unsigned long long value = 0;
    if (text.empty() || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The writer's process id in an entry named exactly like temporaryName(name, ...); 0 for any other entry.
pid_t writerOf(std::string_view entry, std::string_view name)
{
    const std::size_t prefixSize = name.size() + 2; // the dots in front of and behind the name
    if (entry.size() <= prefixSize + kTemporarySuffix.size() || entry[0] != '.' || entry.substr(1, name.size()) != name
        || entry[prefixSize - 1] != '.' || !entry.ends_with(kTemporarySuffix))
        return 0;
    std::string_view numbers = entry.substr(prefixSize, entry.size() - prefixSize - kTemporarySuffix.size());
    const std::size_t firstDash = numbers.find('-');
    const std::size_t secondDash = numbers.find('-', firstDash == std::string_view::npos ? 0 : firstDash + 1);
    if (secondDash == std::string_view::npos)
        return 0;
    const auto pid = writtenNumber(numbers.substr(0, firstDash));
    if (!pid || *pid == 0 || *pid > INT_MAX || !writtenNumber(numbers.substr(firstDash + 1, secondDash - firstDash - 1))
        || !writtenNumber(numbers.substr(secondDash + 1)))
        return 0;
    return static_cast<pid_t>(*pid);
}

bool processIsGone(pid_t pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
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
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        std::string path = folder + temporaryName(name, counter++, now.tv_nsec);
        // Mode 0666 lets the umask decide for a new file, as for any file the user creates.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            m_fd.reset(fd);
            m_temporary = std::move(path);
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
    bool written = ::fsync(m_fd.get()) == 0;
    // The descriptor is gone after close() whatever it returns; a failure there can be a lost write.
    written = ::close(m_fd.release()) == 0 && written;
    if (!written || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
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
// named exactly as this class names them for this target are looked at, and only those whose writer is
// gone are removed: a live writer's file may be about to be renamed.
void ReplacementFile::removeAbandonedTemporaries() const
{
    const UniqueFd folder(::open(openableFolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DirectoryListing listing;
    if (!folder.valid() || !listing.read(folder.get()))
        return;
    const std::string_view name = std::string_view(m_target).substr(m_target.rfind('/') + 1);
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string entry(listing.name(i));
        const pid_t writer = writerOf(entry, name);
        struct stat info { };
        if (writer == 0 || ::fstatat(folder.get(), entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode) || !processIsGone(writer))
            continue;
        ::unlinkat(folder.get(), entry.c_str(), 0);
    }
}

} // namespace vellick
