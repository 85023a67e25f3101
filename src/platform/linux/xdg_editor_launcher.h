#pragma once

#include "platform/editor_launcher.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vellick {

// Open at Line on a freedesktop desktop: the editor is detected from the default application for
// text/plain when it is one of a few known editors, and the command is split into arguments by the
// desktop-entry quoting rules and started directly, so no shell ever sees a file name.
class XdgEditorLauncher : public EditorLauncher {
public:
    std::string detectedCommand() override;
    ShellResult openAtLine(const std::string& command, const std::string& path, std::int64_t line) override;

private:
    std::optional<std::string> m_detected; // asked once: the answer needs a program run
};

// The editor command for an application id ("org.gnome.gedit.desktop"), or "xdg-open %f" when the
// application is not a known editor.
std::string editorCommandForApplication(std::string_view desktopId);

// The arguments of an editor command for a file and line: the command is split first, then %f becomes
// the path, %l the line and %% a "%" inside each argument, so a path is always one argument and is never
// expanded again. A command without %f gets the path as its last argument. Empty for a blank command.
std::vector<std::string> editorArguments(std::string_view command, const std::string& path, std::int64_t line);

} // namespace vellick
