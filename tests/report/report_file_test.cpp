// The report file never loses an old report and never leaves a partial one under the report's name: a
// report appears only complete, a read-only report is refused (also for root), and a name too long for a
// temporary name beside it still gets a safe replace.
#include "report/report_file.h"
#include "support/temp_tree.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vellick::test {
namespace {

std::size_t entriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Writes `size` bytes through a ReportFile with the file size limited to 4096 bytes; finish()'s result.
bool writeUnder4K(const std::string& path, std::size_t size)
{
    rlimit previous {};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    ReportFile file;
    const bool finished = file.create(path) && (file.write(std::string(size, 'r')), file.finish());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    return finished;
}

TEST(ReportFileTest, NewReportAppearsOnlyWhenComplete)
{
    TempTree tree;
    const std::string path = tree.path("new.csv");
    {
        ReportFile file;
        ASSERT_TRUE(file.create(path));
        file.write(std::string(200000, 'a'));
        EXPECT_FALSE(pathExists(path)) << "a partial report under the report's name";
        // Interrupted: the object goes without finishing.
    }
    EXPECT_EQ(entriesIn(tree.root()), 0u);

    ReportFile file;
    ASSERT_TRUE(file.create(path));
    file.write("complete\n");
    EXPECT_TRUE(file.finish());
    EXPECT_EQ(readFile(path), "complete\n");
    EXPECT_EQ(entriesIn(tree.root()), 1u);
}

TEST(ReportFileTest, OldReportIsNeverLost)
{
    TempTree tree;
    // Read-only: refused before anything is written, for root as for anyone.
    const std::string readOnly = tree.write("read-only.csv", "an older report\n");
    ::chmod(readOnly.c_str(), 0444);
    ReportFile file;
    EXPECT_FALSE(file.create(readOnly));
    EXPECT_EQ(readFile(readOnly), "an older report\n");

    // A name whose temporary name would be too long for the folder, replaced and failing.
    const std::string longName = tree.write(std::string(249, 'r'), "an older report\n");
    EXPECT_FALSE(writeUnder4K(longName, 10000));
    EXPECT_EQ(readFile(longName), "an older report\n");
    EXPECT_TRUE(writeUnder4K(longName, 1000));
    EXPECT_EQ(readFile(longName), std::string(1000, 'r'));
    EXPECT_EQ(entriesIn(tree.root()), 2u) << "a temporary file was left behind";
}

} // namespace
} // namespace vellick::test
