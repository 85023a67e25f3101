#include "platform/linux/freedesktop_trash.h"

#include "base/unique_fd.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/trash_info.h"
#include "settings/whole_file.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vellick {
namespace {

constexpr int kMaxAttempts = 10000;

// Which mount a folder belongs to. Bind mounts share a device number, so the mount id decides where
// the kernel has one.
struct MountKey {
    dev_t device = 0;
    uint64_t mountId = 0;
    bool hasMountId = false;
    bool operator==(const MountKey& other) const
    {
        if (hasMountId && other.hasMountId)
            return mountId == other.mountId;
        return device == other.device;
    }
};

std::optional<MountKey> mountKeyOf(const std::string& folder)
{
    struct statx info { };
    if (::statx(AT_FDCWD, folder.c_str(), 0, STATX_BASIC_STATS | STATX_MNT_ID, &info) != 0)
        return std::nullopt;
    MountKey key;
    key.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    key.hasMountId = (info.stx_mask & STATX_MNT_ID) != 0;
    key.mountId = info.stx_mnt_id;
    return key;
}

std::string parentOf(const std::string& folder)
{
    const std::size_t slash = folder.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

// The top folder of the mount that holds `folder` (an absolute, resolved path).
std::string mountTop(const std::string& folder, const MountKey& key)
{
    std::string top = folder;
    while (top != "/") {
        const std::string parent = parentOf(top);
        const auto parentKey = mountKeyOf(parent);
        if (!parentKey || !(*parentKey == key))
            break;
        top = parent;
    }
    return top;
}

// Makes the folder and any missing parents, new ones private to the user.
bool makeFolders(const std::string& folder)
{
    return makeParentFolders(folder + "/.");
}

bool isRealFolder(const std::string& path, struct stat& info)
{
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && !S_ISLNK(info.st_mode);
}

bool ownedPrivateFolder(const std::string& path)
{
    struct stat info { };
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return isRealFolder(path, info) && info.st_uid == ::getuid();
}

std::string relativeTo(const std::string& top, const std::string& path)
{
    return top == "/" ? path.substr(1) : path.substr(top.size() + 1);
}

std::string reasonFor(const std::string& path, const std::string& why)
{
    return "Cannot move \"" + path + "\" to the Trash: " + why + ".";
}

// Writes info/NAME.trashinfo under a name free in both folders, then renames the file to files/NAME.
ShellResult storeInTrash(
    const std::string& path, const std::string& name, const std::string& trashDir, const std::string& infoPath)
{
    const std::string text = trashInfoText(infoPath, std::time(nullptr));
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string entry = trashEntryName(name, attempt);
        const std::string info = trashDir + "/info/" + entry + ".trashinfo";
        UniqueFd fd(::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid() && errno == EEXIST)
            continue;
        if (!fd.valid())
            return ShellResult::failed(reasonFor(path, errorText(errno)));
        const bool written = ::write(fd.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
        const int writeError = errno;
        fd.reset();
        const int error = written ? renameWithoutReplacing(path, trashDir + "/files/" + entry) : writeError;
        if (error == 0)
            return ShellResult::done();
        ::unlink(info.c_str());
        if (error != EEXIST)
            return ShellResult::failed(reasonFor(path, errorText(error)));
    }
    return ShellResult::failed(reasonFor(path, "no free name in the Trash"));
}

} // namespace

std::string dataHomeFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return dataHome;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share";
    return {};
}

FreedesktopTrash::FreedesktopTrash()
    : m_dataHome(dataHomeFolder())
{
}

FreedesktopTrash::FreedesktopTrash(std::string dataHome)
    : m_dataHome(std::move(dataHome))
{
}

ShellResult FreedesktopTrash::moveToTrash(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat info { };
    if (name.empty() || name == "." || name == "..")
        return ShellResult::failed(reasonFor(path, "not a file name"));
    if (::lstat(path.c_str(), &info) != 0)
        return ShellResult::failed(reasonFor(path, errorText(errno)));
    const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char* resolved = ::realpath(parent.c_str(), nullptr); // the folder resolved, the file itself not followed
    if (!resolved)
        return ShellResult::failed(reasonFor(path, errorText(errno)));
    const std::string folder = resolved;
    std::free(resolved);

    std::string why;
    const auto target = chooseTrash(folder, name, why);
    if (!target)
        return ShellResult::failed(reasonFor(path, why));
    if (!makeFolders(target->trashDir + "/files") || !makeFolders(target->trashDir + "/info"))
        return ShellResult::failed(reasonFor(path, "the Trash folder " + target->trashDir + " cannot be made"));
    return storeInTrash(path, name, target->trashDir, target->infoPath);
}

std::optional<FreedesktopTrash::Target> FreedesktopTrash::chooseTrash(
    const std::string& folder, const std::string& name, std::string& why) const
{
    const std::string fullPath = (folder == "/" ? "" : folder) + "/" + name;
    const auto fileMount = mountKeyOf(folder);
    if (!fileMount) {
        why = errorText(errno);
        return std::nullopt;
    }
    const std::string homeTrash = m_dataHome.empty() ? std::string() : m_dataHome + "/Trash";
    if (!homeTrash.empty() && makeFolders(homeTrash)) {
        const auto homeMount = mountKeyOf(homeTrash);
        if (homeMount && *homeMount == *fileMount)
            return Target { homeTrash, fullPath };
    }
    const std::string top = mountTop(folder, *fileMount);
    const auto trashDir = topdirTrash(top, why);
    if (!trashDir)
        return std::nullopt;
    return Target { *trashDir, relativeTo(top, fullPath) };
}

// $topdir/.Trash/$uid when the administrator made a sticky $topdir/.Trash, else $topdir/.Trash-$uid.
std::optional<std::string> FreedesktopTrash::topdirTrash(const std::string& topdir, std::string& why) const
{
    const std::string base = topdir == "/" ? "" : topdir;
    const std::string uid = std::to_string(::getuid());
    struct stat shared { };
    if (isRealFolder(base + "/.Trash", shared) && (shared.st_mode & S_ISVTX) != 0) {
        const std::string perUser = base + "/.Trash/" + uid;
        if (ownedPrivateFolder(perUser))
            return perUser;
    }
    const std::string own = base + "/.Trash-" + uid;
    if (ownedPrivateFolder(own))
        return own;
    why = errno == EROFS ? "the file system is read-only" : "no usable Trash folder in " + topdir;
    return std::nullopt;
}

} // namespace vellick
