// vellick-cli's exit statuses, messages and behaviour on files it cannot read.

#include "cli/cli_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vellick::test;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::StartsWith;

namespace {

const std::string kUsageHint = "Try 'vellick-cli --help' for more information.\n";
const std::string kShortKeywords = "vellick-cli: the keyword text must be at least 2 characters long\n";

class CliTest : public testing::Test {
protected:
    void expectBadInput(const std::vector<std::string>& args, const std::string& err)
    {
        const ProcessResult result = m_fixture.run(args);
        EXPECT_EQ(result.exitStatus, 2) << testing::PrintToString(args);
        EXPECT_EQ(result.err, err) << testing::PrintToString(args);
        EXPECT_EQ(result.out, "") << testing::PrintToString(args);
    }

    CliFixture m_fixture;
};

} // namespace

TEST_F(CliTest, ShortKeywordTextIsRefusedBeforeTheFolderIsChecked)
{
    expectBadInput({ "-d", "/nonexistent", "a" }, kShortKeywords + kUsageHint);
    expectBadInput({ "  a\t" }, kShortKeywords + kUsageHint);
    expectBadInput({}, kShortKeywords + kUsageHint);
    // Two arguments make a two-character text: it passes this test and fails the word check instead.
    expectBadInput({ "a", "b" }, "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.\n");
}

TEST_F(CliTest, StartChecksPrintTheirMessages)
{
    expectBadInput({ "-d", "/nonexistent/x", "fox" }, "Directory \"/nonexistent/x\" not found\n");
    expectBadInput({ "-d", " /nonexistent/x ", "??" }, "Directory \"/nonexistent/x\" not found\n");
    expectBadInput({ "??" }, "Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.\n");
}

TEST_F(CliTest, BadOptionsGetAUsageHint)
{
    expectBadInput({ "--bogus", "fox" }, "vellick-cli: unknown option: --bogus\n" + kUsageHint);
    expectBadInput({ "-x", "fox" }, "vellick-cli: unknown option: -x\n" + kUsageHint);
    expectBadInput({ "fox", "-d" }, "vellick-cli: option requires an argument: -d\n" + kUsageHint);
    expectBadInput({ "-k", "abc", "fox" }, "vellick-cli: invalid hit limit 'abc'\n" + kUsageHint);
    expectBadInput({ "-k", "", "fox" }, "vellick-cli: invalid hit limit ''\n" + kUsageHint);
    expectBadInput({ "-k", "5x", "fox" }, "vellick-cli: invalid hit limit '5x'\n" + kUsageHint);
    expectBadInput({ "-m", "some", "fox" }, "vellick-cli: invalid mode 'some' (all, any or phrase)\n" + kUsageHint);
    expectBadInput({ "-l", "../no-such-list", "fox" },
        "vellick-cli: cannot read the list of files '../no-such-list'\n" + kUsageHint);
}

TEST_F(CliTest, ExitStatusTellsWhetherAFileWasFound)
{
    EXPECT_EQ(m_fixture.run({ "fox" }).exitStatus, 0);
    EXPECT_EQ(m_fixture.run({ "-s", "zebra" }).exitStatus, 1);
    const ProcessResult help = m_fixture.run({ "--help" });
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: vellick-cli [options] [--] KEYWORD..."));
}

TEST_F(CliTest, HitLimitIsClampedTo1024)
{
    m_fixture.tree().write("tree/many.txt", std::string(3000, 'z'));
    const ProcessResult result = m_fixture.run({ "--hits", "-k", "99999", "-p", "many.txt", "zz" });
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_THAT(result.out, HasSubstr("[2046,0,2,0]]}"));
}

TEST_F(CliTest, TextsAreCutToThePanelLimitsThenTrimmed)
{
    const auto padded = [](const std::string& text, std::size_t limit, const std::string& beyond) {
        return text + std::string(limit - text.size(), ' ') + beyond;
    };
    // What lies beyond 3199 and 8191 bytes is not read.
    const ProcessResult result = m_fixture.run({ "-d", padded(m_fixture.tree().path("tree/notes"), 1023, ""), "-H",
        "-p", padded("*.md", 8191, ";*"), padded("fox", 3199, "zebra") });
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, m_fixture.tree().path("tree/notes/readme.md") + "\n");
    // A folder over its limit of 1023 bytes is refused rather than cut to another folder.
    const std::string overLimit = padded(m_fixture.tree().path("tree/notes"), 1023, "-gone");
    const ProcessResult refused = m_fixture.run({ "-d", overLimit, "-H", "fox" });
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("not found"), std::string::npos) << refused.err;
}

TEST_F(CliTest, SpecialFilesNeverBlockTheWalk)
{
    m_fixture.tree().makeFifo("tree/fifo.log");
    const ProcessResult result = m_fixture.run({ "-s", "-H", "-p", "*", "fox" });
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
}

TEST_F(CliTest, UnreadableFilesAndFoldersArePassedOver)
{
    const std::vector<std::string> probe = asNobody({ VELLICK_CLI_PATH, "--version" });
    if (probe.empty() || runProcess(probe, "/").exitStatus != 0)
        GTEST_SKIP() << "cannot run vellick-cli as user 65534 (needs root and setpriv, and a build folder that "
                        "user may read); unreadable files are not tested";
    const TempTree& tree = m_fixture.tree();
    tree.write("locked/open.txt", "fox");
    tree.write("locked/secret.txt", "fox");
    tree.write("locked/closed/inner.txt", "fox");
    tree.setMode("locked/secret.txt", 0);
    tree.setMode("locked/closed", 0);
    tree.setMode("locked", 0755);
    const ProcessResult result = runProcess(asNobody({ VELLICK_CLI_PATH, "-s", "fox" }), tree.path("locked"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, tree.path("locked/open.txt") + "\n");
    // The unreadable file counts as checked; the folder that cannot be entered is passed over.
    EXPECT_THAT(result.err, MatchesRegex("1 file found \\(2 files checked\\)\\.time spent: .*\n"));
}
