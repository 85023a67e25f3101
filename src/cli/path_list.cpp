#include "cli/path_list.h"

#include "base/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

// Reads all of `fd` up to the bound; the error text when a read fails or the bound is passed.
std::optional<std::string> readBounded(int fd, std::string& error)
{
    std::string bytes;
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got == 0)
            return bytes;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::strerror(errno);
            return std::nullopt;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxPathListBytes) {
            error = std::strerror(EFBIG);
            return std::nullopt;
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
}

} // namespace

std::optional<PathList> readPathList(int directoryFd, const std::string& name, std::string& error)
{
    const UniqueFd fd(::openat(directoryFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        error = std::strerror(EISDIR);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        error = "not a regular file or a pipe";
        return std::nullopt;
    }
    if (S_ISREG(status.st_mode) && static_cast<uint64_t>(status.st_size) > kMaxPathListBytes) {
        error = std::strerror(EFBIG);
        return std::nullopt;
    }
    const auto bytes = readBounded(fd.get(), error);
    if (!bytes)
        return std::nullopt;
    return splitPathList(*bytes, name);
}

PathList splitPathList(const std::string& bytes, const std::string& name)
{
    PathList list;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\0') != std::string::npos)
            list.skipped.push_back("the list " + name + ", line " + std::to_string(lineNumber)
                + ": a path cannot hold a NUL byte; line skipped");
        else if (!line.empty())
            list.paths.push_back(std::move(line));
    }
    return list;
}

} // namespace vellick
