// Reads every file of a tree once, one thread, one reused buffer: the floor for a one-thread search.
#include "base/unique_fd.h"
#include "search/folder_walk.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>

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
    unsigned long long files = 0;
    unsigned long long bytes = 0;
    for (auto event = walk.next(); event != vellick::FolderWalk::EventType::Done; event = walk.next()) {
        if (event != vellick::FolderWalk::EventType::File)
            continue;
        vellick::UniqueFd fd(::openat(walk.dirFd(), walk.nameCString(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.valid())
            continue;
        ++files;
        std::size_t got = 0;
        while ((got = vellick::readFully(fd.get(), buffer.get(), kBufferSize)) > 0) {
            bytes += got;
            if (got < kBufferSize)
                break;
        }
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    std::printf("%llu files, %llu bytes, %.3f s\n", files, bytes, seconds.count());
    return 0;
}
