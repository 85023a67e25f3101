#include "platform/linux/desktop_entry.h"
#include "platform/linux/system_printer.h"
#include "platform/linux/xdg_launcher.h"
#include "support/private_xdg.h"
#include "support/scoped_env.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellick {
namespace {

using test::PrivateXdg;
using test::ScopedEnv;
using test::shellOutput;
using test::shellQuoted;
using test::waitForFile;

// A shell script that writes its argument count and arguments, one a line, to `output`.
std::string writeRecorder(
    const PrivateXdg& xdg, const std::string& name, const std::string& output, const std::string& extra = {})
{
    const std::string script = xdg.tree().write(
        "bin/" + name, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > " + shellQuoted(output) + "\n" + extra);
    ::chmod(script.c_str(), 0755);
    return script;
}

// Registers a recorder as the default application of `mimeType` in the private XDG folders.
void registerStandIn(const PrivateXdg& xdg, const std::string& script, const std::string& mimeType)
{
    xdg.tree().write("data/applications/vellick-standin.desktop",
        "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=" + script + " %f\nMimeType=" + mimeType + ";\n");
    shellOutput("xdg-mime default vellick-standin.desktop " + mimeType + " 2>&1");
}

TEST(DesktopEntryTest, ExecLinesSplitAndExpandByTheDesktopEntryRules)
{
    EXPECT_EQ(splitExecLine(R"(prog "two words" "a\sb" "q\"x" "back\\\\slash")"),
        (std::vector<std::string> { "prog", "two words", "a b", "q\"x", "back\\slash" }));
    const auto entry = DesktopEntry::parse(
        "[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nName=Ed\nExec=ed --name=%c -x %i %U 100%%\n",
        "/a/ed.desktop");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->commandFor("/r/my file.wri"),
        (std::vector<std::string> { "ed", "--name=Ed", "-x", "/r/my file.wri", "100%" }));
    EXPECT_EQ(DesktopEntry::parse("[Desktop Entry]\nExec=view\n", "")->commandFor("/f"),
        (std::vector<std::string> { "view", "/f" }));
    EXPECT_FALSE(DesktopEntry::parse("[Desktop Entry]\nName=none\n", ""));
}

TEST(XdgLauncherTest, TheAssociationComesFromXdgMimeAndOpensThroughXdgOpen)
{
    PrivateXdg xdg;
    const std::string output = xdg.tree().path("opened.txt");
    registerStandIn(xdg, writeRecorder(xdg, "standin", output), "text/plain");
    const std::string file = xdg.tree().write("my docs/read me.txt", "plain text\n");
    const std::string binary = xdg.tree().write("blob.vellicknone", std::string("\0\1\2\3\xff", 5));

    XdgLauncher launcher;
    EXPECT_EQ(launcher.associatedApplication(file), "vellick-standin.desktop");
    EXPECT_EQ(launcher.associatedApplication(binary), std::nullopt);

    const ScopedEnv display("DISPLAY", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : ":0");
    ASSERT_TRUE(launcher.openWithAssociation(file).ok());
    EXPECT_EQ(waitForFile(output, 20), "1\n" + file + "\n");
}

TEST(XdgLauncherTest, ANamedProgramGetsThePathAsItsOneArgument)
{
    PrivateXdg xdg;
    const std::string output = xdg.tree().path("args.txt");
    const std::string program = writeRecorder(xdg, "viewer", output, "pwd >> " + shellQuoted(output) + "\n");
    const std::string file = xdg.tree().write("folder with spaces/a \"quoted\" name.txt", "x");
    XdgLauncher launcher;
    ASSERT_TRUE(launcher.openWithProgram(program, file).ok());
    EXPECT_EQ(waitForFile(output, 20), "1\n" + file + "\n" + xdg.tree().path("folder with spaces") + "\n");

    const ShellResult missing = launcher.openWithProgram(xdg.tree().path("bin/no-such-program"), file);
    EXPECT_EQ(missing.status, ShellResult::Status::Failed);
    EXPECT_EQ(launcher.openWithProgram(file, file).status, ShellResult::Status::Failed) << "not executable";
}

TEST(SystemPrinterTest, PrintsWithLpOrLprAndSaysWhyNot)
{
    PrivateXdg xdg;
    const std::string report = xdg.tree().write("cache/vellick/printresult.wri", "report\n");
    const std::string printed = xdg.tree().path("printed.txt");
    SystemPrinter printer;
    {
        const ScopedEnv path("PATH", xdg.tree().makeFolder("empty"));
        EXPECT_EQ(printer.print(report).reason, "Cannot print: neither lp nor lpr is installed.");
    }
    writeRecorder(xdg, "lpr", printed);
    const ScopedEnv path("PATH", xdg.tree().path("bin"));
    ASSERT_TRUE(printer.print(report).ok());
    EXPECT_EQ(test::readFile(printed), "1\n" + report + "\n") << "lpr where there is no lp";

    writeRecorder(xdg, "lp", printed, "echo 'lp: Error - no default destination available.' >&2\nexit 1\n");
    EXPECT_EQ(printer.print(report).reason, "Printing failed: lp: Error - no default destination available.");
}

TEST(SystemPrinterTest, PreviewUsesThePlainTextApplicationWhateverTheExtension)
{
    PrivateXdg xdg;
    const std::string report = xdg.tree().write("cache/vellick/printresult.wri", "report\n");
    SystemPrinter printer;
    {
        const ScopedEnv dirs("XDG_DATA_DIRS", xdg.tree().makeFolder("nothing"));
        EXPECT_EQ(
            printer.preview(report).reason, "Cannot show the print preview: no program is associated with plain text.");
    }
    const std::string shown = xdg.tree().path("shown.txt");
    registerStandIn(xdg, writeRecorder(xdg, "standin", shown), "text/plain");
    ASSERT_TRUE(printer.preview(report).ok());
    EXPECT_EQ(waitForFile(shown, 20), "1\n" + report + "\n");
}

} // namespace
} // namespace vellick
