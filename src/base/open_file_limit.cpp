#include "base/open_file_limit.h"

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <thread>

namespace vellick {

void raiseOpenFileLimit()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

std::size_t freeDescriptors()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return SIZE_MAX;
    std::size_t open = 16; // a guess where /proc is not there to count them
    if (DIR* descriptors = ::opendir("/proc/self/fd")) {
        open = 0;
        while (const dirent* entry = ::readdir(descriptors))
            open += entry->d_name[0] != '.' ? 1 : 0;
        ::closedir(descriptors);
        --open; // the one that listed them
    }
    const auto most = static_cast<std::size_t>(limit.rlim_cur);
    return most > open ? most - open : 0;
}

bool outOfDescriptors(int error)
{
    return error == EMFILE || error == ENFILE;
}

int openWaitingForDescriptor(int dirFd, const char* name, int flags, const std::function<bool()>& cancelled)
{
    constexpr auto kLongestWait = std::chrono::seconds(30);
    const auto giveUp = std::chrono::steady_clock::now() + kLongestWait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const int fd = ::openat(dirFd, name, flags);
        if (fd >= 0 || !outOfDescriptors(errno) || cancelled() || std::chrono::steady_clock::now() > giveUp)
            return fd;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

} // namespace vellick
