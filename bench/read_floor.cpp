// Reads every file of a tree once, one thread, one reused buffer: the floor for a one-thread search. Per
// file it does no more than a search must: open (without touching the access time where allowed), read
// until a short read, close; no status call and no allocation.
#include "base/unique_fd.h"
#include "search/folder_walk.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

int openForReading(int dirFd, const char* name, bool& noAccessTime)
{
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (noAccessTime) {
        const int fd = ::openat(dirFd, name, kFlags | O_NOATIME);
        if (fd >= 0 || errno != EPERM)
            return fd;
        noAccessTime = false;
    }
    return ::openat(dirFd, name, kFlags);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_floor DIR\n");
        return 2;
    }
    constexpr std::size_t kBufferSize = 1 << 20;
    const auto buffer = std::make_unique<unsigned char[]>(kBufferSize);
    const auto started = std::chrono::steady_clock::now();
    vellick::FolderWalk walk({ "*.*" }, true, true);
    walk.start(argv[1]);
    bool noAccessTime = true;
    unsigned long long files = 0;
    unsigned long long bytes = 0;
    for (auto event = walk.next(); event != vellick::FolderWalk::EventType::Done; event = walk.next()) {
        if (event != vellick::FolderWalk::EventType::File)
            continue;
        const int fd = openForReading(walk.openDirectory()->fd.get(), walk.name().data(), noAccessTime);
        if (fd < 0)
            continue;
        ++files;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.get(), kBufferSize);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            bytes += static_cast<unsigned long long>(got);
            if (static_cast<std::size_t>(got) < kBufferSize)
                break;
        }
        ::close(fd);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    std::printf("%llu files, %llu bytes, %.3f s\n", files, bytes, seconds.count());
    return 0;
}
