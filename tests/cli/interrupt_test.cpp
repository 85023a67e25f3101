// Ctrl-C during vellick-cli: whenever it comes after the guard is made, the watched run stops.

#include "cli/interrupt.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

TEST(Interrupt, CtrlCStopsTheWatchedRunWhenEverItCame)
{
    TempTree tree;
    tree.write("a.txt", "needle\n");
    enum class When { BeforeTheRunStarted, BetweenStartAndWatch, WhileWatched, Never };
    for (const When when : { When::BeforeTheRunStarted, When::BetweenStartAndWatch, When::WhileWatched, When::Never }) {
        const InterruptGuard guard; // each guard starts uninterrupted
        TreeSearch search(1);
        if (when == When::BeforeTheRunStarted)
            std::raise(SIGINT);
        ASSERT_TRUE(search.start(TreeSearch::panel(tree.root(), "needle")));
        if (when == When::BetweenStartAndWatch)
            std::raise(SIGINT);
        InterruptGuard::watch(&search.searchRun());
        if (when == When::WhileWatched)
            std::raise(SIGINT);
        search.finish();
        InterruptGuard::watch(nullptr);
        const bool stopped = when != When::Never;
        EXPECT_EQ(interrupted(), stopped) << static_cast<int>(when);
        ASSERT_EQ(search.events().summaries.size(), 1U);
        EXPECT_EQ(search.events().summaries.back().stoppedByUser, stopped) << static_cast<int>(when);
        EXPECT_EQ(search.doc().rowCount(), stopped ? 0 : 1) << static_cast<int>(when);
    }
}
