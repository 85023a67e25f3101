// Files that grow, shrink, are replaced or vanish while a search runs (after the walk listed them, before
// they are scanned) and between the search and the loading of their surrounding text.
#include "support/cline_fields.h"
#include "support/recording_sink.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vellick;
using namespace vellick::test;

namespace {

using Names = std::vector<std::string>;

class ChangingFilesTest : public testing::Test {
protected:
    CLine& row(int index) { return m_search.doc().record(m_search.doc().recordAtRow(index)); }

    void append(const std::string& relative, const std::string& text)
    {
        std::ofstream(m_tree.path(relative), std::ios::binary | std::ios::app) << text;
    }

    TempTree m_tree;
    TreeSearch m_search;
    RecordingSink m_messages;
};

} // namespace

TEST_F(ChangingFilesTest, FilesChangeAfterTheWalkListedThem)
{
    m_tree.write("grows.txt", "nothing");
    m_tree.write("shrinks.txt", "0123456789 needle");
    m_tree.write("replaced.txt", "no");
    m_tree.write("vanishes.txt", "needle");
    ASSERT_TRUE(m_search.start(TreeSearch::panel(m_tree.root(), "needle")));

    append("grows.txt", "\nneedle");
    std::filesystem::resize_file(m_tree.path("shrinks.txt"), 5);
    m_tree.write("new.tmp", "needle here");
    std::filesystem::rename(m_tree.path("new.tmp"), m_tree.path("replaced.txt"));
    std::filesystem::remove(m_tree.path("vanishes.txt"));
    m_search.finish();

    EXPECT_EQ(m_search.rows(m_tree.root()), (Names { "grows.txt", "replaced.txt" }));
    EXPECT_EQ(m_search.searchRun().checkedCount(), 4u); // the vanished file was handed to the scanner too
    EXPECT_EQ(row(0).size, 14); // the status of the file as it was scanned
    EXPECT_EQ(hitOffsets(row(0)), std::vector<uint64_t> { 8 });
    EXPECT_EQ(hitLines(row(0)), std::vector<uint64_t> { 1 });
    EXPECT_EQ(row(1).size, 11);
    ASSERT_TRUE(row(1).LoadContexts(m_messages));
    EXPECT_EQ(row(1).hit(0).context, "needle here");
}

TEST_F(ChangingFilesTest, GrownFileWithItsOldTimeStillShowsItsHits)
{
    m_tree.write("log.txt", "start\nneedle one\n");
    m_tree.setModified("log.txt", 1'000'000'000);
    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    append("log.txt", std::string(100000, 'x') + "\nneedle two\n");
    m_tree.setModified("log.txt", 1'000'000'000);
    ASSERT_TRUE(row(0).LoadContexts(m_messages));
    EXPECT_EQ(row(0).BuildDisplayLine(0, true), "line    2: needle one");
    EXPECT_TRUE(m_messages.messages.empty());
}

// Changed after the search (within the same second), the file is refused; re-checked as a listed file, its
// row takes the new hits and the new time, so the new text is shown rather than refused as changed.
TEST_F(ChangingFilesTest, ListedFileReCheckedAfterAChangeShowsItsNewText)
{
    m_tree.write("notes.txt", "old needle\n");
    m_tree.setModified("notes.txt", 1'000'000'000);
    ASSERT_TRUE(m_search.run(TreeSearch::panel(m_tree.root(), "needle")));
    m_tree.write("notes.txt", "a new line first\nthen the needle again\n");
    m_tree.setModified("notes.txt", 1'000'000'000, 500);
    EXPECT_FALSE(row(0).LoadContexts(m_messages));
    ASSERT_EQ(m_messages.messages.size(), 1u); // "... has been modified since last searching ..."

    PanelInput recheck = TreeSearch::panel(m_tree.root(), "needle");
    recheck.listedFilesMode = true;
    ASSERT_TRUE(m_search.run(recheck));
    ASSERT_EQ(m_search.doc().rowCount(), 1);
    EXPECT_EQ(row(0).modified, 1'000'000'000);
    EXPECT_EQ(row(0).modifiedNanoseconds, 500);
    EXPECT_EQ(row(0).size, 39);
    ASSERT_TRUE(row(0).LoadContexts(m_messages));
    EXPECT_EQ(row(0).BuildDisplayLine(0, true), "line    2: then the needle again");
    EXPECT_EQ(m_messages.messages.size(), 1u);
}
