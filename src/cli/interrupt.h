#pragma once

namespace vellick {

class SearchRun;

// Ctrl-C during vellick-cli: the handler stops the run that is registered (a lock-free store) and raises
// a flag after which nothing more is printed. While a guard lives SIGINT goes to that handler.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The run Ctrl-C stops from now on; null for none. Watch a run after starting it (starting clears
    // its stop): a Ctrl-C that came earlier, since the guard was made, stops it at once.
    static void watch(SearchRun* run);
};

// True once Ctrl-C was pressed.
bool interrupted();

} // namespace vellick
