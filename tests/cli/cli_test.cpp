// vellick-cli's exit statuses, messages and behaviour on files it cannot read.

#include "cli/cli_fixture.h"

#include <algorithm>
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
    expectBadInput({ "a", "b" },
        "vellick-cli: Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.\n");
}

TEST_F(CliTest, StartChecksPrintTheirMessages)
{
    expectBadInput({ "-d", "/nonexistent/x", "fox" }, "vellick-cli: Directory \"/nonexistent/x\" not found\n");
    expectBadInput({ "-d", " /nonexistent/x ", "??" }, "vellick-cli: Directory \"/nonexistent/x\" not found\n");
    expectBadInput(
        { "??" }, "vellick-cli: Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.\n");
    expectBadInput({ "-E", "mutex_(lock" }, "vellick-cli: Invalid regular expression: missing ): mutex_(lock\n");
}

TEST_F(CliTest, BadOptionsGetAUsageHint)
{
    expectBadInput({ "--bogus", "fox" }, "vellick-cli: unrecognized option '--bogus'\n" + kUsageHint);
    expectBadInput({ "-x", "fox" }, "vellick-cli: invalid option -- 'x'\n" + kUsageHint);
    expectBadInput({ "fox", "-d" }, "vellick-cli: option requires an argument -- 'd'\n" + kUsageHint);
    expectBadInput({ "fox", "--format" }, "vellick-cli: option '--format' requires an argument\n" + kUsageHint);
    const std::string range = "' (a number from 1 to 1024)\n";
    expectBadInput({ "-k", "abc", "fox" }, "vellick-cli: invalid argument 'abc' for '-k" + range + kUsageHint);
    expectBadInput({ "-k", "", "fox" }, "vellick-cli: invalid argument '' for '-k" + range + kUsageHint);
    expectBadInput({ "-k", "5x", "fox" }, "vellick-cli: invalid argument '5x' for '-k" + range + kUsageHint);
    expectBadInput({ "--mode", "some", "fox" },
        "vellick-cli: invalid argument 'some' for '--mode' (all, any or phrase)\n" + kUsageHint);
}

// The list of --listed is read from a regular file or a pipe, whole, before the search; what is not a list
// is an error, and a line that cannot be a path is skipped with a message.
TEST_F(CliTest, ListedFiles)
{
    const TempTree& tree = m_fixture.tree();
    struct Case {
        std::string list;
        std::string err;
    };
    const Case refused[] = {
        { "../no-such-list", "vellick-cli: cannot read the list ../no-such-list: No such file or directory\n" },
        { "notes", "vellick-cli: cannot read the list notes: Is a directory\n" },
        { "/dev/zero", "vellick-cli: cannot read the list /dev/zero: not a regular file or a pipe\n" },
    };
    for (const Case& c : refused)
        expectBadInput({ "--listed", c.list, "fox" }, c.err);

    tree.write("nul-list.txt", std::string("alpha.txt\0junk\nnotes/readme.md\n", 31));
    const ProcessResult result = m_fixture.run({ "--listed", "../nul-list.txt", "fox" });
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, tree.path("tree/notes/readme.md") + "\n");
    EXPECT_THAT(result.err,
        StartsWith("vellick-cli: the list ../nul-list.txt, line 1: a path cannot hold a NUL byte; line skipped\n"));
}

TEST_F(CliTest, ExitStatusTellsWhetherAFileWasFound)
{
    EXPECT_EQ(m_fixture.run({ "fox" }).exitStatus, 0);
    EXPECT_EQ(m_fixture.run({ "-s", "zebra" }).exitStatus, 1);
    EXPECT_EQ(m_fixture.run({ "-E", "f[aeiou]x" }).exitStatus, 0);
    EXPECT_EQ(m_fixture.run({ "-E", "-e", "zebr?a", "-e", "f[aeiou]x" }).exitStatus, 0); // either expression
    EXPECT_EQ(m_fixture.run({ "-E", "-e", "zebr?a", "-e", "f[y]x" }).exitStatus, 1);
    const ProcessResult help = m_fixture.run({ "--help" });
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: vellick-cli [options] [--] KEYWORD..."));
}

TEST_F(CliTest, HitLimitIsClampedTo1024)
{
    m_fixture.tree().write("tree/many.txt", std::string(3000, 'z'));
    const ProcessResult result = m_fixture.run({ "--hits", "-k", "99999", "-g", "many.txt", "zz" });
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_THAT(result.out, HasSubstr("[2046,0,2,0]]}"));
}

TEST_F(CliTest, TextsAreCutToThePanelLimitsThenTrimmed)
{
    const auto padded = [](const std::string& text, std::size_t limit, const std::string& beyond) {
        return text + std::string(limit - text.size(), ' ') + beyond;
    };
    // What lies beyond 3199 and 8191 bytes is not read.
    const ProcessResult result = m_fixture.run({ "-d", padded(m_fixture.tree().path("tree/notes"), 1023, ""),
        "--hidden", "-g", padded("*.md", 8191, ";*"), padded("fox", 3199, "zebra") });
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, m_fixture.tree().path("tree/notes/readme.md") + "\n");
    // A folder over its limit of 1023 bytes is refused rather than cut to another folder.
    const std::string overLimit = padded(m_fixture.tree().path("tree/notes"), 1023, "-gone");
    const ProcessResult refused = m_fixture.run({ "-d", overLimit, "--hidden", "fox" });
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("not found"), std::string::npos) << refused.err;
}

TEST_F(CliTest, SpecialFilesNeverBlockTheWalk)
{
    m_fixture.tree().makeFifo("tree/fifo.log");
    const ProcessResult result = m_fixture.run({ "-r", "--hidden", "-g", "*", "fox" });
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
    const ProcessResult result = runProcess(asNobody({ VELLICK_CLI_PATH, "-r", "fox" }), tree.path("locked"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, tree.path("locked/open.txt") + "\n");
    // The unreadable file counts as checked; the folder that cannot be entered is passed over.
    EXPECT_THAT(result.err, MatchesRegex("1 file found \\(2 files checked\\)\\.time spent: .*\n"));
}

// Relative --report and --listed paths name files in the start directory, also when that directory has been
// removed: then they name nothing, rather than files in the folder searched.
TEST_F(CliTest, RelativePathsNeverMoveToTheSearchedFolder)
{
    const TempTree& tree = m_fixture.tree();
    tree.write("tree/notes/list.txt", "readme.md\n");
    const std::string gone = "mkdir gone && cd gone && rmdir ../gone && exec \"$@\"";
    const auto runInGoneFolder = [&](const std::vector<std::string>& args) {
        std::vector<std::string> argv { "/bin/sh", "-c", gone, "sh", VELLICK_CLI_PATH, "-d", tree.path("tree/notes") };
        argv.insert(argv.end(), args.begin(), args.end());
        return runProcess(argv, tree.root());
    };
    const ProcessResult report = runInGoneFolder({ "--report", "report.csv", "fox" });
    EXPECT_EQ(report.exitStatus, 2);
    EXPECT_THAT(report.err, testing::EndsWith("Open file failed.\n"));
    EXPECT_FALSE(pathExists(tree.path("tree/notes/report.csv")));

    const ProcessResult listed = runInGoneFolder({ "--listed", "list.txt", "fox" });
    EXPECT_EQ(listed.exitStatus, 2);
    EXPECT_EQ(listed.err, "vellick-cli: cannot read the list list.txt: No such file or directory\n");
}

// The re-check of listed files ends at the found cap; the rows it did not reach were never checked, so they
// are neither printed nor reported as found.
TEST_F(CliTest, ListedFilesPastTheFoundCapAreNotOutput)
{
    const TempTree& tree = m_fixture.tree();
    std::string list;
    for (int i = 0; i < 100003; ++i)
        list += "alpha.txt\n";
    tree.write("cap-list.txt", list);
    const ProcessResult result
        = m_fixture.run({ "--listed", "../cap-list.txt", "-c", "--report", "../cap.csv", "--include", "path", "fox" });
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 100000);
    const std::string report = readFile(tree.path("cap.csv"));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 100001); // with its header line
}

TEST_F(CliTest, VersionComesFromTheProject)
{
    for (const char* option : { "-V", "--version" }) {
        const ProcessResult result = m_fixture.run({ option });
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_THAT(result.out, MatchesRegex("vellick-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"));
    }
}
