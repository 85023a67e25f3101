#include "cli/interrupt.h"

#include "search/search_run.h"

#include <atomic>
#include <csignal>

namespace vellick {

namespace {

std::atomic<bool> g_interrupted { false };
std::atomic<SearchRun*> g_watchedRun { nullptr };
struct sigaction g_previous { };

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<SearchRun*>::is_always_lock_free);

extern "C" void onInterrupt(int)
{
    g_interrupted.store(true);
    if (SearchRun* run = g_watchedRun.load())
        run->stop();
}

} // namespace

InterruptGuard::InterruptGuard()
{
    // Before the handler is ours no Ctrl-C can have come to it: a new guard starts uninterrupted.
    g_interrupted.store(false);
    struct sigaction action { };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &g_previous);
}

InterruptGuard::~InterruptGuard()
{
    g_watchedRun.store(nullptr);
    ::sigaction(SIGINT, &g_previous, nullptr);
}

void InterruptGuard::watch(SearchRun* run)
{
    g_watchedRun.store(run);
    // A Ctrl-C that came before the store found no run to stop: the run is stopped here instead. Both
    // sides store, then load (sequentially consistent), so at least one of them sees the other.
    if (run && g_interrupted.load())
        run->stop();
}

bool interrupted()
{
    return g_interrupted.load();
}

} // namespace vellick
