#include "platform/linux/posix_file_renamer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {
namespace {

bool noReplaceUnsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// For file systems without the no-replace rename: link() refuses an existing name as well.
int linkThenUnlink(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0)
            return 0;
        const int error = errno;
        ::unlink(to.c_str()); // the old name is still there: take the new one back
        return error;
    }
    const int error = errno;
    if (error != EPERM && error != EOPNOTSUPP)
        return error;
    // No hard links either (FAT, some network shares): look first, as a last resort.
    struct stat existing { };
    if (::lstat(to.c_str(), &existing) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace

int renameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (!noReplaceUnsupported(error))
        return error;
    return linkThenUnlink(from, to);
}

std::string errorText(int error)
{
    return std::strerror(error);
}

ShellResult PosixFileRenamer::rename(const std::string& from, const std::string& to)
{
    const int error = renameWithoutReplacing(from, to);
    if (error == 0)
        return ShellResult::done();
    if (error == EEXIST)
        return ShellResult::failed("Cannot rename \"" + from + "\": a file named \"" + to + "\" already exists.");
    return ShellResult::failed("Cannot rename \"" + from + "\" to \"" + to + "\": " + errorText(error) + ".");
}

} // namespace vellick
