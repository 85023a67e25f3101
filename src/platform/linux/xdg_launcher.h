#pragma once

#include "platform/launcher.h"

namespace vellick {

// Open and Open With on a freedesktop desktop: the association is the default application that
// `xdg-mime query default` names for the file's MIME type (from the shared MIME database), opening goes
// through xdg-open, and a named program is started directly with the path as its one argument.
class XdgLauncher : public Launcher {
public:
    std::optional<std::string> associatedApplication(const std::string& path) override;
    ShellResult openWithAssociation(const std::string& path) override;
    ShellResult openWithProgram(const std::string& program, const std::string& path) override;
};

// The default application (a .desktop id) of a MIME type, or nothing.
std::optional<std::string> defaultApplicationFor(const std::string& mimeType);

} // namespace vellick
