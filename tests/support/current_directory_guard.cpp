#include "support/current_directory_guard.h"

#include <fcntl.h>
#include <unistd.h>

namespace vellick::test {

// A descriptor rather than a path, so the directory is found again even if it was renamed meanwhile.
CurrentDirectoryGuard::CurrentDirectoryGuard()
    : m_fd(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

CurrentDirectoryGuard::~CurrentDirectoryGuard()
{
    if (m_fd < 0)
        return;
    [[maybe_unused]] const int ignored = ::fchdir(m_fd);
    ::close(m_fd);
}

} // namespace vellick::test
