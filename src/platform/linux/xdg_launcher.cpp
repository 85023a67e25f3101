#include "platform/linux/xdg_launcher.h"

#include "base/parent_directory.h"
#include "platform/linux/child_process.h"
#include "platform/linux/mime_lookup.h"
#include "platform/linux/posix_file_renamer.h"

namespace vellick {
namespace {

constexpr std::chrono::seconds kQueryTimeout { 10 };
// xdg-open ends at once on a desktop that opens the file for it, and at once when nothing can open it; where
// it runs the program itself it stays until that program ends, and by then the program has started.
constexpr std::chrono::seconds kOpenerTimeout { 5 };

ShellResult started(int error, const std::string& program)
{
    if (error == 0)
        return ShellResult::done();
    return ShellResult::failed("Cannot start \"" + program + "\": " + errorText(error) + ".");
}

} // namespace

std::optional<std::string> defaultApplicationFor(const std::string& mimeType)
{
    if (mimeType.empty())
        return std::nullopt;
    const ProcessOutcome outcome = runAndWait({ "xdg-mime", "query", "default", mimeType }, kQueryTimeout);
    if (!outcome.finished || outcome.exitCode != 0)
        return std::nullopt;
    const std::string& text = outcome.output;
    const std::size_t end = text.find_first_of("\r\n");
    std::string application = text.substr(0, end);
    while (!application.empty() && application.back() == ' ')
        application.pop_back();
    if (application.empty())
        return std::nullopt;
    return application;
}

std::optional<std::string> XdgLauncher::associatedApplication(const std::string& path)
{
    return defaultApplicationFor(mimeTypeOfFile(path).name().toStdString());
}

ShellResult XdgLauncher::openWithAssociation(const std::string& path)
{
    const ProcessOutcome outcome = startAndWaitForExit({ "xdg-open", path }, folderOfPath(path), kOpenerTimeout);
    if (outcome.spawnError != 0)
        return started(outcome.spawnError, "xdg-open");
    if (outcome.finished && outcome.exitCode != 0)
        return ShellResult::failed(
            "xdg-open could not open the file (exit status " + std::to_string(outcome.exitCode) + ").");
    return ShellResult::done();
}

ShellResult XdgLauncher::openWithProgram(const std::string& program, const std::string& path)
{
    return started(startDetached({ program, path }, folderOfPath(path)), program);
}

} // namespace vellick
