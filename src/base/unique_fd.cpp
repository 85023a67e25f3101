#include "base/unique_fd.h"

#include <cerrno>

namespace vellick {

std::size_t readFully(int fd, unsigned char* data, std::size_t size, std::size_t enough)
{
    std::size_t total = 0;
    while (total < size && total < enough) {
        const ssize_t got = ::read(fd, data + total, size - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

} // namespace vellick
