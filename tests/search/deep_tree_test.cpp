// A folder 1000 levels deep and a path longer than PATH_MAX: the walk goes through them (it opens each
// folder relative to its parent), lists the files with their full paths, and the re-check of listed files,
// the status read and the surrounding-text loader work on such paths too.
#include "support/cline_fields.h"
#include "support/hang_guard.h"
#include "support/recording_sink.h"
#include "support/special_entries.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <climits>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

class DeepTreeTest : public testing::Test {
protected:
    // The walk holds one descriptor per level, as vellick-cli allows itself (it raises the soft limit).
    static void SetUpTestSuite()
    {
        rlimit limit {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
    }

    ~DeepTreeTest() override { removeTree(m_root); } // std::filesystem cannot remove paths this long

    HangGuard m_guard { 120 };
    TempTree m_tree;
    std::string m_root = m_tree.makeFolder("deep");
    TreeSearch m_search;
};

} // namespace

TEST_F(DeepTreeTest, AThousandLevelsDeep)
{
    const std::string file = makeFolderChain(m_root, "d", 1000, "bottom.txt", "first line\nat the bottom: needle\n");
    ASSERT_FALSE(file.empty());
    m_tree.write("deep/top.txt", "needle on top");
    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_root, "needle")));
    EXPECT_EQ(m_search.rows(), (std::vector<std::string> { m_root + "/top.txt", file }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 2u);

    CLine& bottom = m_search.doc().record(1);
    RecordingSink sink;
    ASSERT_TRUE(bottom.LoadContexts(sink));
    EXPECT_EQ(bottom.BuildDisplayLine(0, true), "line    2: at the bottom: needle");
}

TEST_F(DeepTreeTest, PathLongerThanPathMax)
{
    const std::string name(200, 'n');
    const std::string file = makeFolderChain(m_root, name, 25, "long.txt", "first line\na long needle\n");
    ASSERT_GT(file.size(), static_cast<std::size_t>(PATH_MAX));
    struct stat status { };
    ASSERT_NE(::stat(file.c_str(), &status), 0); // the system takes no path this long
    ASSERT_EQ(errno, ENAMETOOLONG);

    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_root, "needle")));
    ASSERT_EQ(m_search.rows(), std::vector<std::string> { file }); // the full path, not cut
    CLine& found = m_search.doc().record(0);
    EXPECT_EQ(found.size, 25);
    ASSERT_EQ(found.hitCount(), 1u);
    EXPECT_EQ(found.hit(0).line, 1u);
    RecordingSink sink;
    ASSERT_TRUE(found.LoadContexts(sink)) << (sink.messages.empty() ? "" : sink.messages[0]);
    EXPECT_EQ(found.hit(0).context, "a long needle");

    // Re-checking the listed file opens it folder by folder; the row stays with fresh hits.
    PanelInput recheck = TreeSearch::panel(m_root, "long needle");
    recheck.listedFilesMode = true;
    recheck.matchMode = MatchMode::WholePhrase;
    ASSERT_TRUE(m_search.run(recheck));
    ASSERT_EQ(m_search.doc().rowCount(), 1);
    EXPECT_EQ(hitOffsets(found), std::vector<uint64_t> { 13 });
    EXPECT_EQ(hitLengths(found), std::vector<uint32_t> { 11 });

    // The document reads the status of such a path itself when it is not given (vellick-cli's -l list).
    CVellickDoc listed;
    listed.addRecord(file, FileKind::Text);
    EXPECT_EQ(listed.record(0).size, 25);
    EXPECT_EQ(listed.record(0).modified, found.modified);
}

TEST_F(DeepTreeTest, LongPathThatVanishedIsReportedWithItsPath)
{
    const std::string file = makeFolderChain(m_root, std::string(250, 'v'), 20, "gone.txt", "needle");
    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_root, "needle")));
    ASSERT_EQ(m_search.doc().rowCount(), 1);
    removeTree(m_root); // the whole chain goes

    RecordingSink sink;
    EXPECT_FALSE(m_search.doc().record(0).LoadContexts(sink));
    EXPECT_EQ(sink.messages, std::vector<std::string> { "Can not access file \"" + file + "\"." });

    PanelInput recheck = TreeSearch::panel(m_tree.root(), "needle");
    recheck.listedFilesMode = true;
    ASSERT_TRUE(m_search.run(recheck));
    EXPECT_EQ(m_search.doc().rowCount(), 0);
    EXPECT_EQ(m_search.searchRun().checkedCount(), 1u);
}
