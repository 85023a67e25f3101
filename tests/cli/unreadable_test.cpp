// Files and folders the user may not read, as user 65534 (CI runs as root, who may read anything): a file
// that cannot be opened is counted as checked and not found; a folder that cannot be opened, listed or
// entered is passed over, its files not counted.
#include "support/process_runner.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace vellick::test;

namespace {

class UnreadableTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (withoutRoot({ "x" }).empty())
            GTEST_SKIP() << "running as root without setpriv: cannot search as another user";
        ::chmod(m_tree.root().c_str(), 0755);
        m_tree.write("readable.txt", "needle");
        m_tree.write("secret.txt", "needle");
        m_tree.write("locked/inner.txt", "needle");
        m_tree.write("passthrough/inner.txt", "needle");
        m_tree.write("listonly/seen.txt", "needle");
        m_tree.write("sub/also.txt", "needle");
        m_tree.makeSymlink("secret.txt", "link-to-secret.txt");
        for (const char* readable : { "readable.txt", "listonly/seen.txt", "sub/also.txt" })
            setMode(readable, 0644); // whatever the umask
        setMode("sub", 0755);
        setMode("secret.txt", 0600);
        setMode("locked", 0700); // cannot be opened
        setMode("passthrough", 0711); // can be passed through, not listed
        setMode("listonly", 0744); // can be listed but not entered: like a folder that cannot be made current
    }

    // Owned by root: user 65534 has only the "others" bits. (A non-root test user owns the files; the
    // owner bits are then the ones taken away.)
    void setMode(const std::string& relative, mode_t mode)
    {
        const mode_t others = mode & 07;
        m_tree.setMode(relative, ::geteuid() == 0 ? mode : (mode & ~0700) | (others << 6));
    }

    TempTree m_tree;
};

} // namespace

TEST_F(UnreadableTest, CountedAndPassedOver)
{
    const ProcessResult result = runProcess(withoutRoot({ VELLICK_CLI_PATH, "-r", "needle" }), m_tree.root());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, m_tree.path("readable.txt") + "\n" + m_tree.path("sub/also.txt") + "\n");
    // readable, secret, the link to secret and sub/also were handed to the scanner.
    EXPECT_NE(result.err.find("2 files found (4 files checked)."), std::string::npos) << result.err;
}

TEST_F(UnreadableTest, ListedFilesThatCannotBeReadLoseTheirRows)
{
    m_tree.write("list.txt", "readable.txt\nsecret.txt\nlocked/inner.txt\nlistonly/seen.txt\n");
    const ProcessResult result
        = runProcess(withoutRoot({ VELLICK_CLI_PATH, "--listed", "list.txt", "--context", "needle" }), m_tree.root());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, m_tree.path("readable.txt") + "\nline    1: needle\n");
    EXPECT_NE(result.err.find("1 file found (4 files checked)."), std::string::npos) << result.err;
}

// Files without hits: only files read to their end count; one that cannot be opened has no known content.
TEST_F(UnreadableTest, FilesWithoutHitsLeaveOutWhatCannotBeRead)
{
    const ProcessResult result = runProcess(withoutRoot({ VELLICK_CLI_PATH, "-L", "zebra" }), m_tree.root());
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, m_tree.path("readable.txt") + "\n" + m_tree.path("sub/also.txt") + "\n");
    EXPECT_NE(result.err.find("2 files found (4 files checked)."), std::string::npos) << result.err;
}
