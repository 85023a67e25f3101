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
}

bool interrupted()
{
    return g_interrupted.load();
}

} // namespace vellick
