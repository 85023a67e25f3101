#include "base/open_file_limit.h"
#include "search/file_patterns.h"
#include "search/folder_walk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

using Names = std::vector<std::string>;

class FolderWalkTest : public testing::Test {
protected:
    // The files the walk hands out, relative to the root, in order.
    Names walk(Names patterns, bool subFolders, bool includeHidden = false, std::size_t keptOpen = SIZE_MAX)
    {
        FolderWalk folderWalk(std::move(patterns), subFolders, includeHidden);
        folderWalk.keepFoldersOpen(keptOpen);
        const std::size_t freeBefore = freeDescriptors();
        folderWalk.start(m_tree.root());
        Names files;
        for (int guard = 0; guard < 10000; ++guard) {
            const FolderWalk::EventType event = folderWalk.next();
            if (keptOpen != SIZE_MAX) {
                EXPECT_LE(freeBefore - freeDescriptors(), keptOpen + 1) << "descriptors held";
            }
            if (event == FolderWalk::EventType::Done)
                return files;
            if (event == FolderWalk::EventType::File)
                files.push_back(
                    joinPath(folderWalk.openDirectory()->path, folderWalk.name()).substr(m_tree.root().size() + 1));
        }
        ADD_FAILURE() << "the walk does not end";
        return files;
    }

    TempTree m_tree;
};

} // namespace

TEST_F(FolderWalkTest, FilesPatternByPatternInNameOrderThenSubFolders)
{
    for (const char* name : { "b.txt", "B.txt", "A.txt", "Zeta.txt", "_x.log", "readme", "sub/c.txt", "sub/a.log" })
        m_tree.write(name, "x");
    m_tree.makeFolder("aaa");
    const Names expected { "A.txt", "B.txt", "b.txt", "Zeta.txt", "_x.log", "readme", "sub/c.txt", "sub/a.log" };
    EXPECT_EQ(walk(splitFilePatterns("*.txt;*.log, readme.*"), true), expected);
}

TEST_F(FolderWalkTest, DepthFirst)
{
    for (const char* name : { "1.txt", "a/2.txt", "a/b/3.txt", "a/c/4.txt", "b/5.txt" })
        m_tree.write(name, "x");
    EXPECT_EQ(walk({ "*.*" }, true), (Names { "1.txt", "a/2.txt", "a/b/3.txt", "a/c/4.txt", "b/5.txt" }));
    EXPECT_EQ(walk({ "*.*" }, false), (Names { "1.txt" }));
}

// Below the folders kept open the walk closes the folders above it and opens them again, name by name,
// for their next sub-folder: the same files in the same order, with no more descriptors held.
TEST_F(FolderWalkTest, FoldersBelowTheKeptOnesAreClosedAndOpenedAgain)
{
    for (const char* name : { "1.txt", "a/2.txt", "a/b/3.txt", "a/b/c/4.txt", "a/b/c/d/5.txt", "a/b/c/e/6.txt",
             "a/b/f/7.txt", "a/g/8.txt", "h/9.txt" })
        m_tree.write(name, "x");
    const Names expected { "1.txt", "a/2.txt", "a/b/3.txt", "a/b/c/4.txt", "a/b/c/d/5.txt", "a/b/c/e/6.txt",
        "a/b/f/7.txt", "a/g/8.txt", "h/9.txt" };
    for (const std::size_t kept : { 1u, 2u, 3u, 10u })
        EXPECT_EQ(walk({ "*.*" }, true, false, kept), expected) << kept << " kept open";
}

TEST_F(FolderWalkTest, AFileMatchingTwoPatternsComesTwice)
{
    m_tree.write("a.txt", "x");
    m_tree.write("b.txt", "x");
    EXPECT_EQ(walk({ "*.txt", "a*.txt" }, false), (Names { "a.txt", "b.txt", "a.txt" }));
}

TEST_F(FolderWalkTest, HiddenFilesAndDotFolders)
{
    m_tree.write(".hidden.txt", "x");
    m_tree.write("shown.txt", "x");
    m_tree.write(".cache/inside.txt", "x");
    m_tree.write("sub/.also-hidden", "x");
    EXPECT_EQ(walk({ "*.*" }, true), (Names { "shown.txt" }));
    // Folders whose name begins with "." are never entered, even with hidden files included.
    EXPECT_EQ(walk({ "*.*" }, true, true), (Names { ".hidden.txt", "shown.txt", "sub/.also-hidden" }));
}

TEST_F(FolderWalkTest, SpecialEntriesAreNeitherFilesNorFolders)
{
    m_tree.write("real.txt", "x");
    m_tree.write("sub/inner.txt", "x");
    m_tree.makeFifo("fifo.txt");
    m_tree.makeSocket("socket.txt");
    m_tree.makeSymlink("real.txt", "link.txt");
    m_tree.makeSymlink("nowhere.txt", "broken.txt");
    m_tree.makeSymlink("sub", "linked-folder");
    m_tree.makeSymlink("..", "sub/up"); // a loop
    m_tree.makeSymlink("/dev/null", "device.txt");
    EXPECT_EQ(walk({ "*.*" }, true), (Names { "link.txt", "real.txt", "sub/inner.txt" }));
}

TEST_F(FolderWalkTest, RootIsTheGivenPathAndPathsJoinWithOneSlash)
{
    EXPECT_EQ(joinPath("/", "etc"), "/etc");
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
}

TEST_F(FolderWalkTest, UnreadableFolderIsPassedOver)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, which can read any folder; vellick-cli's tests cover this as user 65534";
    m_tree.write("locked/a.txt", "x");
    m_tree.write("open/b.txt", "x");
    m_tree.setMode("locked", 0);
    EXPECT_EQ(walk({ "*.*" }, true), (Names { "open/b.txt" }));
}
