// Trees with entries that must never be opened (FIFOs, sockets, devices), folder links that must never be
// entered (loops, a link to "/") and file links that are listed once: the search ends, finds the right
// files and counts only the files it read.
#include "support/cline_fields.h"
#include "support/hang_guard.h"
#include "support/special_entries.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

using Names = std::vector<std::string>;

class HostileTreeTest : public testing::Test {
protected:
    // A run that blocks on a FIFO or loops through linked folders ends the test program here.
    HangGuard m_guard { 60 };
    TempTree m_tree;
    TreeSearch m_search;
};

} // namespace

TEST_F(HostileTreeTest, SpecialFilesAreNeverOpened)
{
    m_tree.write("real.txt", "a needle");
    m_tree.makeFifo("fifo.txt"); // opening it for reading would wait for a writer
    m_tree.makeSocket("socket.txt");
    m_tree.makeSymlink("/dev/zero", "zero.txt"); // never ends
    m_tree.makeSymlink("/dev/urandom", "random.txt"); // never ends, and matches sometime
    m_tree.makeSymlink(m_tree.path("fifo.txt"), "fifo-link.txt");
    m_tree.write("sub/inner.txt", "needle");
    m_tree.makeFifo("sub/pipe.txt");

    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "real.txt", "sub/inner.txt" }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 2u); // special entries are passed over like folders
}

TEST_F(HostileTreeTest, DeviceNodesAreNeverOpened)
{
    m_tree.write("real.txt", "a needle");
    // A character device like /dev/zero and a block device (loop0); making them needs root.
    if (!makeDeviceNode(m_tree.path("zero.txt"), 'c', 1, 5) || !makeDeviceNode(m_tree.path("disk.txt"), 'b', 7, 0))
        GTEST_SKIP() << "mknod needs root; the links to /dev/zero and /dev/urandom cover character devices";
    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "real.txt" }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 1u);
}

TEST_F(HostileTreeTest, FolderLinksAreNeverEntered)
{
    m_tree.write("x/a.txt", "needle");
    m_tree.write("y/b.txt", "needle");
    m_tree.makeSymlink("../y", "x/to-y"); // x -> y -> x: a loop between folders
    m_tree.makeSymlink("../x", "y/to-x");
    m_tree.makeSymlink(".", "self");
    m_tree.makeSymlink("/", "root");
    m_tree.makeSymlink(m_tree.root(), "x/top");
    m_tree.makeSymlink("nowhere.txt", "dangling.txt");
    m_tree.makeSymlink("loop-b.txt", "loop-a.txt"); // a link loop: ELOOP, neither file nor folder
    m_tree.makeSymlink("loop-a.txt", "loop-b.txt");

    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "x/a.txt", "y/b.txt" }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 2u);
}

TEST_F(HostileTreeTest, LinkedFilesAreListedOnceUnderTheLinksName)
{
    TempTree outside;
    const std::string target = outside.write("elsewhere.txt", "the needle outside");
    m_tree.write("local.txt", "needle");
    m_tree.makeSymlink(target, "outside.txt");
    m_tree.makeSymlink("outside.txt", "chain.txt"); // link -> link -> file
    m_tree.makeFolder("sub");
    m_tree.makeSymlink("../local.txt", "sub/up.txt");

    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "chain.txt", "local.txt", "outside.txt", "sub/up.txt" }));
    const CLine& linked = m_search.doc().record(m_search.doc().recordAtRow(2));
    EXPECT_EQ(linked.size, 18); // the target's size and hits, under the link's path
    ASSERT_EQ(linked.hitCount(), 1u);
    EXPECT_EQ(linked.hit(0).offset, 4u);
}

// The walk listed a regular file; by the time it is scanned a FIFO or a link to a device has its name.
TEST_F(HostileTreeTest, FileReplacedByASpecialFileBeforeItIsScanned)
{
    m_tree.write("a.txt", "needle");
    m_tree.write("b.txt", "needle");
    m_tree.write("c.txt", "needle");
    ASSERT_TRUE(m_search.start(TreeSearch::panel(m_tree.root(), "needle")));
    ASSERT_EQ(::unlink(m_tree.path("a.txt").c_str()), 0);
    m_tree.makeFifo("a.txt");
    ASSERT_EQ(::unlink(m_tree.path("b.txt").c_str()), 0);
    m_tree.makeSymlink("/dev/zero", "b.txt");
    m_search.finish();
    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "c.txt" }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 3u); // handed to the scanner, which would not read them
}
