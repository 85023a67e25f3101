#pragma once

#include <unistd.h>

namespace vellick::test {

// Ends the test program if a test hangs (blocked on a FIFO, looping through linked folders): SIGALRM's
// default action kills the process, so the test fails at once instead of when ctest gives up.
class HangGuard {
public:
    explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

} // namespace vellick::test
