#include "results/display_options.h"

#include <atomic>

namespace vellick {

namespace {
std::atomic<bool> g_showLineNumbers { true };
} // namespace

bool DisplayOptions::showLineNumbers()
{
    return g_showLineNumbers.load(std::memory_order_relaxed);
}

void DisplayOptions::setShowLineNumbers(bool show)
{
    g_showLineNumbers.store(show, std::memory_order_relaxed);
}

} // namespace vellick
