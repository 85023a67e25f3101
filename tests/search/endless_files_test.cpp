// Files that do not end in reasonable time: generated files that report no size (/proc/self/pagemap gives
// hundreds of GiB), and huge sparse files. Their reading is bounded, and Stop or Ctrl-C ends a run inside
// one of them at the scan's next block, on whichever thread scans it.
#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_options.h"
#include "support/hang_guard.h"
#include "support/process_runner.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;
using namespace std::chrono_literals;

namespace {

ScanResult scanPath(const std::string& keywords, const std::string& path, uint32_t flags = 0)
{
    const KeywordList list(keywords, flags);
    const ScanPlan plan(list, 1024);
    FileScanner scanner(plan);
    ScanResult result;
    scanner.scan(AT_FDCWD, path.c_str(), result);
    return result;
}

// Sparse files of a terabyte each: reading one through takes minutes even from memory.
bool makeHugeFiles(const TempTree& tree, int count)
{
    constexpr off_t kTiB = off_t { 1 } << 40;
    for (int i = 0; i < count; ++i) {
        const std::string path = tree.write("huge" + std::to_string(i) + ".txt", "a needle at the start\n");
        if (::truncate(path.c_str(), kTiB) != 0)
            return false;
    }
    return true;
}

std::chrono::steady_clock::duration timeToStop(TreeSearch& search, const std::string& folder, bool regex)
{
    PanelInput panel = TreeSearch::panel(folder, "qzxabsent");
    panel.regex = regex;
    if (!search.start(panel))
        return std::chrono::hours(1);
    std::thread stopper([&] {
        std::this_thread::sleep_for(300ms);
        search.searchRun().stop();
    });
    const auto begin = std::chrono::steady_clock::now();
    search.finish();
    const auto took = std::chrono::steady_clock::now() - begin;
    stopper.join();
    return took;
}

} // namespace

TEST(EndlessFilesTest, GeneratedFilesAreReadUpToABound)
{
    const HangGuard guard(60);
    for (const uint32_t flags : { 0u, static_cast<uint32_t>(Regex) }) {
        // Reports size 0 and gives about 256 GiB: read through, this takes minutes.
        const ScanResult pagemap = scanPath("qzxabsent", "/proc/self/pagemap", flags);
        EXPECT_TRUE(pagemap.opened);
        EXPECT_FALSE(pagemap.found);
        // Generated files that report no size are still read.
        const ScanResult status = scanPath("VmRSS", "/proc/self/status", flags);
        EXPECT_TRUE(status.found) << flags;
        EXPECT_EQ(status.status.size, 0);
    }
}

TEST(EndlessFilesTest, StopEndsTheRunInsideAHugeFileOnEveryThread)
{
    TempTree tree;
    if (!makeHugeFiles(tree, 3))
        GTEST_SKIP() << "this file system holds no terabyte sparse files";
    const HangGuard guard(120);
    for (const bool regex : { false, true }) {
        for (const int workers : { 0, 1, 3 }) {
            TreeSearch search(workers);
            const auto took = timeToStop(search, tree.root(), regex);
            EXPECT_LT(took, 10s) << workers << " scan workers, regex " << regex;
            EXPECT_EQ(search.runMessages().size(), 1u) << "the run ends as stopped";
        }
    }
}

TEST(EndlessFilesTest, InterruptEndsTheCommandLineSearchInsideAHugeFile)
{
    TempTree tree;
    if (!makeHugeFiles(tree, 2))
        GTEST_SKIP() << "this file system holds no terabyte sparse files";
    for (const char* threads : { "1", "3" }) {
        const auto begin = std::chrono::steady_clock::now();
        const ProcessResult result = runProcess(
            { VELLICK_CLI_PATH, "--threads", threads, "--folder", tree.root(), "qzxabsent" }, tree.root(), 20, 500);
        const auto took = std::chrono::steady_clock::now() - begin;
        EXPECT_FALSE(result.timedOut) << threads << " threads";
        EXPECT_LT(took, 10s) << threads << " threads";
    }
}
