#include "platform/linux/posix_file_copier.h"

#include "base/unique_fd.h"
#include "platform/linux/posix_file_renamer.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {
namespace {

std::string failure(const std::string& source, const std::string& target, const std::string& why)
{
    return "Cannot copy \"" + source + "\" to \"" + target + "\": " + why + ".";
}

std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return { ".", path };
    return { slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1) };
}

// Copies the whole content; 0 or the errno value.
int copyContent(int from, int to)
{
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, std::size_t { 1 } << 30, 0);
        if (copied == 0)
            return 0;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF)
            return errno;
        break; // the kernel cannot do it here: copy through a buffer from where it stopped
    }
    std::array<char, 1 << 16> buffer {};
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return 0;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR)
                return errno;
            done += put > 0 ? put : 0;
        }
    }
}

// Writes the copy under a temporary name beside the target; returns that name, or the errno value.
int writeTemporaryCopy(
    int sourceFd, const struct stat& source, const std::string& target, bool flush, std::string& temporary)
{
    const auto [folder, name] = splitPath(target);
    temporary = folder + "/." + name.substr(0, 200) + ".vellick-XXXXXX";
    UniqueFd out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid())
        return errno;
    int error = copyContent(sourceFd, out.get());
    if (error == 0 && ::fchmod(out.get(), source.st_mode & 07777) != 0)
        error = errno;
    const std::array<timespec, 2> times { source.st_atim, source.st_mtim };
    if (error == 0 && ::futimens(out.get(), times.data()) != 0)
        error = errno;
    if (error == 0 && flush && ::fsync(out.get()) != 0)
        error = errno;
    if (error == 0 && ::close(out.release()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.c_str());
    return error;
}

} // namespace

ShellResult PosixFileCopier::copyFile(const std::string& source, const std::string& target, ReplaceDecision& replace)
{
    UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceInfo { };
    if (!in.valid() || ::fstat(in.get(), &sourceInfo) != 0)
        return ShellResult::failed(failure(source, target, errorText(errno)));
    if (!S_ISREG(sourceInfo.st_mode))
        return ShellResult::failed(failure(source, target, "it is not a file"));

    struct stat targetInfo { };
    const bool exists = ::stat(target.c_str(), &targetInfo) == 0;
    if (exists && targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino)
        return ShellResult::failed("File cannot be copied to itself.");
    if (exists && S_ISDIR(targetInfo.st_mode))
        return ShellResult::failed(failure(source, target, "a folder has that name"));
    if (exists) {
        const ReplaceAnswer answer = replace.decide(target);
        if (answer == ReplaceAnswer::Cancel)
            return ShellResult::cancelled();
        if (answer == ReplaceAnswer::No)
            return ShellResult::done();
    }

    std::string temporary;
    if (const int error = writeTemporaryCopy(in.get(), sourceInfo, target, exists, temporary); error != 0)
        return ShellResult::failed(failure(source, target, errorText(error)));
    const int error = exists ? (::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno)
                             : renameWithoutReplacing(temporary, target);
    if (error == 0)
        return ShellResult::done();
    ::unlink(temporary.c_str());
    return ShellResult::failed(failure(source, target, errorText(error)));
}

ShellResult PosixFileCopier::copyToFolder(
    const std::vector<std::string>& sources, const std::string& folder, ReplaceDecision& replace)
{
    const std::string base = folder == "/" ? "" : folder;
    for (const std::string& source : sources) {
        const ShellResult result = copyFile(source, base + "/" + splitPath(source).second, replace);
        if (!result.ok())
            return result;
    }
    return ShellResult::done();
}

} // namespace vellick
