#pragma once

namespace vellick::test {

// Restores the process's current directory when it goes: Start's checks and the search run change it.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    int m_fd;
};

} // namespace vellick::test
