#include "support/golden.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace vellick::test {
namespace {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs vellick-cli in `directory` with `arguments` (shell words).
class CliReportTest : public ::testing::Test {
protected:
    CliReportTest()
    {
        m_tree.write("docs/notes.txt", "hello alpha world\nsecond \"alpha\" line\n");
        m_tree.write("docs/main.c", "int main(void) { return alpha; }\n");
        m_tree.write("docs/other.txt", "nothing here\n");
    }

    CliResult run(const std::string& directory, const std::string& arguments)
    {
        const std::string out = m_output.path("out");
        const std::string err = m_output.path("err");
        const std::string command = "cd '" + directory + "' && '" VELLICK_CLI_PATH "' " + arguments + " >'" + out
            + "' 2>'" + err + "' </dev/null";
        const int raw = std::system(command.c_str());
        return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err) };
    }

    TempTree m_tree;
    TempTree m_output;
};

TEST_F(CliReportTest, ContextPrintsEachPathWithItsDisplayLines)
{
    const CliResult result = run(m_tree.root(), "-d docs -g '*.txt' --context alpha");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out, m_tree.path("docs/notes.txt") + "\nline    1:  alpha world\nline    2: second \"alpha\" line\n");

    const CliResult plain = run(m_tree.root(), "-d docs -g '*.txt' --context --no-line-numbers alpha");
    EXPECT_EQ(plain.out, m_tree.path("docs/notes.txt") + "\n alpha world\nsecond \"alpha\" line\n");
}

TEST_F(CliReportTest, ReportWithRealTypeNamesFromTheStartDirectory)
{
    const CliResult result
        = run(m_tree.root(), "-d docs --report report.txt --format text --include type,size,keywords,context alpha");
    EXPECT_EQ(result.status, 0) << result.err;
    // Relative to where vellick-cli started, not to the searched folder.
    EXPECT_FALSE(std::filesystem::exists(m_tree.path("docs/report.txt")));
    expectGolden("cli_report_text.txt", readFile(m_tree.path("report.txt")));
}

TEST_F(CliReportTest, ReportFailures)
{
    const CliResult cannotCreate = run(m_tree.root(), "-d docs --report missing/report.csv alpha");
    EXPECT_EQ(cannotCreate.status, 2);
    EXPECT_NE(cannotCreate.err.find("Open file failed.\n"), std::string::npos);

    const CliResult noneFound = run(m_tree.root(), "-d docs --report none.csv zzzz");
    EXPECT_EQ(noneFound.status, 1);
    EXPECT_FALSE(std::filesystem::exists(m_tree.path("none.csv")));

    const CliResult full = run(m_tree.root(), "-d docs --report /dev/full alpha");
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("Write file failed.\n"), std::string::npos);
}

TEST_F(CliReportTest, BadReportOptions)
{
    EXPECT_EQ(run(m_tree.root(), "--hits --context alpha").status, 2);
    EXPECT_EQ(run(m_tree.root(), "--report r.csv --format xml alpha").status, 2);
    EXPECT_EQ(run(m_tree.root(), "--report r.csv --include path,colour alpha").status, 2);
    EXPECT_EQ(run(m_tree.root(), "-o").status, 2);
    EXPECT_FALSE(std::filesystem::exists(m_tree.path("r.csv")));
}

} // namespace
} // namespace vellick::test
