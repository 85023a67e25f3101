#include "platform/linux/system_printer.h"

#include "base/parent_directory.h"
#include "platform/linux/child_process.h"
#include "platform/linux/desktop_entry.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_launcher.h"

namespace vellick {
namespace {

// lp returns once the job is queued; this only guards against a print system that hangs.
constexpr std::chrono::seconds kPrintTimeout { 10 };

std::string firstLine(const std::string& text)
{
    const std::size_t end = text.find('\n');
    return text.substr(0, end);
}

} // namespace

ShellResult SystemPrinter::print(const std::string& path)
{
    std::string client;
    if (programAvailable("lp"))
        client = "lp";
    else if (programAvailable("lpr"))
        client = "lpr";
    else
        return ShellResult::failed("Cannot print: neither lp nor lpr is installed.");
    const ProcessOutcome outcome = runAndWait({ client, path }, kPrintTimeout);
    if (outcome.spawnError != 0)
        return ShellResult::failed(
            "Cannot print: " + client + " could not be started: " + errorText(outcome.spawnError) + ".");
    if (outcome.finished && outcome.exitCode != 0) {
        const std::string why = firstLine(outcome.errors);
        return ShellResult::failed("Printing failed: " + (why.empty() ? client + " reported an error." : why));
    }
    return ShellResult::done();
}

ShellResult SystemPrinter::preview(const std::string& path)
{
    const auto application = defaultApplicationFor("text/plain");
    const auto entry = application ? DesktopEntry::find(*application) : std::nullopt;
    if (!entry)
        return ShellResult::failed("Cannot show the print preview: no program is associated with plain text.");
    const std::vector<std::string> command = entry->commandFor(path);
    const int error = startDetached(command, folderOfPath(path));
    if (error == 0)
        return ShellResult::done();
    return ShellResult::failed(
        "Cannot show the print preview: " + command.front() + " could not be started: " + errorText(error) + ".");
}

} // namespace vellick
