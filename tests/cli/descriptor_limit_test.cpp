// Under a small open-file limit every folder is still searched: the walk and the files queued for scanning
// never hold more descriptors than the limit leaves, and a folder that finds none free waits for one
// instead of being passed over. Three hundred folders side by side under a limit of 64, and a tree 1100
// folders deep under a limit of 1024 (more levels than descriptors), each folder with one file to find.
#include "support/process_runner.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellick::test;

namespace {

constexpr const char* kPrlimit = "/usr/bin/prlimit";

std::size_t lineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A chain of `depth` folders "d/d/d/...", each holding f.txt with the needle; made through descriptors,
// as the deepest paths are long.
bool makeDeepTree(const std::string& root, int depth)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; fd >= 0 && level < depth; ++level) {
        const int file = ::openat(fd, "f.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = file >= 0 && ::write(file, "qzxneedle\n", 10) == 10;
        if (file >= 0)
            ::close(file);
        const bool made = written && (level + 1 == depth || ::mkdirat(fd, "d", 0755) == 0);
        const int next = made && level + 1 < depth ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        if (!made)
            return false;
        fd = next;
    }
    if (fd >= 0)
        ::close(fd);
    return true;
}

ProcessResult searchWithLimit(const std::string& limit, const std::string& threads, const std::string& folder)
{
    return runProcess({ kPrlimit, "--nofile=" + limit, "--", VELLICK_CLI_PATH, "--threads", threads, "--subfolders",
                          "--folder", folder, "qzxneedle" },
        "/", 120);
}

} // namespace

TEST(DescriptorLimitTest, EveryFolderIsSearchedUnderASmallLimit)
{
    if (::access(kPrlimit, X_OK) != 0)
        GTEST_SKIP() << "prlimit is not installed";
    TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.write("flat/d" + std::to_string(i) + "/f.txt", "qzxneedle\n");
    for (const char* threads : { "1", "4" }) {
        const ProcessResult flat = searchWithLimit("64", threads, tree.path("flat"));
        EXPECT_EQ(flat.exitStatus, 0) << flat.err;
        EXPECT_EQ(lineCount(flat.out), 300u) << threads << " threads: " << flat.err;
    }

    tree.makeFolder("deep");
    ASSERT_TRUE(makeDeepTree(tree.path("deep"), 1100));
    for (const char* threads : { "1", "4" }) {
        const ProcessResult deep = searchWithLimit("1024", threads, tree.path("deep"));
        EXPECT_EQ(deep.exitStatus, 0) << deep.err;
        EXPECT_EQ(lineCount(deep.out), 1100u) << threads << " threads: " << deep.err;
    }
    // Fewer descriptors than the scanning threads want: slower, but nothing is missed.
    const ProcessResult scarce = searchWithLimit("20", "4", tree.path("deep"));
    EXPECT_EQ(lineCount(scarce.out), 1100u) << scarce.err;
}
