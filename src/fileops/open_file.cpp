#include "fileops/open_file.h"

#include "platform/launcher.h"

namespace vellick {

std::string openErrorText(const std::string& path)
{
    return "Unable to open file " + path + ".\nMake sure the command specified is correct.";
}

std::optional<std::string> openFile(const std::string& path, bool ask, Launcher& launcher, ProgramQuestion& question)
{
    ShellResult result;
    if (!ask && launcher.associatedApplication(path)) {
        result = launcher.openWithAssociation(path);
    } else {
        const auto program = question.askProgram();
        if (!program)
            return std::nullopt;
        result = launcher.openWithProgram(*program, path);
    }
    if (result.ok())
        return std::nullopt;
    return openErrorText(path);
}

} // namespace vellick
