// A sparse file of 5 GiB with keywords after the 4 GiB mark: offsets, line counts, the size, the surrounding
// text and the report's size column are all 64-bit.
#include "report/report_row.h"
#include "support/cline_fields.h"
#include "support/recording_sink.h"
#include "support/special_entries.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

constexpr uint64_t kGiB = uint64_t { 1 } << 30;

// Holes read fast from memory on tmpfs; elsewhere the kernel has to produce 5 GiB of zeros.
std::string sparseFolder(const TempTree& tree)
{
    std::string pattern = "/dev/shm/vellick-sparse-XXXXXX";
    if (::access("/dev/shm", W_OK) == 0 && ::mkdtemp(pattern.data()))
        return pattern;
    return tree.makeFolder("sparse");
}

bool writeAt(int fd, const std::string& text, uint64_t offset)
{
    return ::pwrite(fd, text.data(), text.size(), static_cast<off_t>(offset)) == static_cast<ssize_t>(text.size());
}

class LargeFileTest : public testing::Test {
protected:
    ~LargeFileTest() override { removeTree(m_folder); }

    // The file, or an empty path when the file system cannot hold it sparse.
    std::string makeSparseFile()
    {
        const std::string path = m_folder + "/big.txt";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        struct stat status { };
        const bool made = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(5 * kGiB)) == 0
            && writeAt(fd, "line one\nline two\n", 0) && writeAt(fd, "\nthe needle is here\n", 4 * kGiB + 1000)
            && writeAt(fd, "needle at the end", 5 * kGiB - 17) && ::fstat(fd, &status) == 0;
        if (fd >= 0)
            ::close(fd);
        return made && status.st_blocks * 512 < 16 * 1024 * 1024 ? path : std::string();
    }

    TempTree m_tree;
    std::string m_folder = sparseFolder(m_tree);
};

} // namespace

TEST_F(LargeFileTest, KeywordsAfterTheFourGibMark)
{
    const std::string path = makeSparseFile();
    if (path.empty())
        GTEST_SKIP() << "the file system here cannot hold a sparse 5 GiB file";

    TreeSearch search;
    ASSERT_TRUE(search.run(TreeSearch::panel(m_folder, "needle")));
    ASSERT_EQ(search.doc().rowCount(), 1);
    CLine& line = search.doc().record(0);
    EXPECT_EQ(line.kind, FileKind::Text);
    EXPECT_EQ(line.size, static_cast<int64_t>(5 * kGiB));
    EXPECT_EQ(hitOffsets(line), (std::vector<uint64_t> { 4 * kGiB + 1005, 5 * kGiB - 17 }));
    EXPECT_EQ(hitLines(line), (std::vector<uint64_t> { 3, 4 }));

    RecordingSink sink;
    ASSERT_TRUE(line.LoadContexts(sink));
    EXPECT_EQ(line.BuildDisplayLine(0, true), "line    4: the needle is here");
    EXPECT_EQ(line.BuildDisplayLine(1, true), "line    5: needle at the end");
    line.kind = FileKind::Binary; // a binary file's prefix is the hit's offset
    EXPECT_EQ(line.lineNumberPrefix(1), "5368709103: ");
    line.kind = FileKind::Text;

    ReportSettings settings;
    settings.options.includeSize = true;
    const KeywordList keywords("needle", IgnoreCase);
    EXPECT_EQ(reportRowText(line, settings, keywords, sink), "big.txt,5242880KB\r\n");
}
