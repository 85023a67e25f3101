#include "platform/linux/xdg_editor_launcher.h"

#include "platform/linux/child_process.h"
#include "platform/linux/desktop_entry.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_launcher.h"
#include "base/parent_directory.h"

#include <algorithm>
#include <array>

namespace vellick {
namespace {

struct KnownEditor {
    std::string_view applicationName; // the last part of the desktop id, lower case, without ".desktop"
    std::string_view command;
};

constexpr std::array kKnownEditors = {
    KnownEditor { "gedit", "gedit +%l %f" },
    KnownEditor { "texteditor", "gnome-text-editor +%l %f" },
    KnownEditor { "gnome-text-editor", "gnome-text-editor +%l %f" },
    KnownEditor { "kate", "kate -l %l %f" },
    KnownEditor { "code", "code -g %f:%l" },
    KnownEditor { "mousepad", "mousepad --line %l %f" },
    KnownEditor { "geany", "geany +%l %f" },
    KnownEditor { "xed", "xed +%l %f" },
    KnownEditor { "pluma", "pluma +%l %f" },
};

constexpr std::string_view kOpenWithoutLine = "xdg-open %f";

// "org.gnome.gedit.desktop" -> "gedit"; "code.desktop" -> "code".
std::string applicationName(std::string_view desktopId)
{
    constexpr std::string_view kSuffix = ".desktop";
    if (desktopId.size() >= kSuffix.size() && desktopId.substr(desktopId.size() - kSuffix.size()) == kSuffix)
        desktopId.remove_suffix(kSuffix.size());
    const std::size_t dot = desktopId.rfind('.');
    std::string name(dot == std::string_view::npos ? desktopId : desktopId.substr(dot + 1));
    std::transform(name.begin(), name.end(), name.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

// One pass over an argument, so a path that holds "%l" stays as it is.
std::string expandArgument(std::string_view argument, const std::string& path, const std::string& line, bool& hadFile)
{
    std::string expanded;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        const char next = i + 1 < argument.size() ? argument[i + 1] : '\0';
        if (argument[i] != '%' || (next != 'f' && next != 'l' && next != '%')) {
            expanded += argument[i];
            continue;
        }
        ++i;
        if (next == 'f') {
            expanded += path;
            hadFile = true;
        } else {
            expanded += next == 'l' ? line : std::string("%");
        }
    }
    return expanded;
}

} // namespace

std::string editorCommandForApplication(std::string_view desktopId)
{
    const std::string name = applicationName(desktopId);
    for (const KnownEditor& editor : kKnownEditors) {
        if (editor.applicationName == name)
            return std::string(editor.command);
    }
    // Cinnamon's xed calls itself "org.x.editor".
    if (name == "editor" && desktopId.substr(0, 6) == "org.x.")
        return "xed +%l %f";
    return std::string(kOpenWithoutLine);
}

std::vector<std::string> editorArguments(std::string_view command, const std::string& path, std::int64_t line)
{
    const std::string lineText = std::to_string(std::max<std::int64_t>(line, 1));
    std::vector<std::string> arguments;
    bool hadFile = false;
    for (const std::string& argument : splitExecLine(command))
        arguments.push_back(expandArgument(argument, path, lineText, hadFile));
    if (!arguments.empty() && !hadFile)
        arguments.push_back(path);
    return arguments;
}

std::string XdgEditorLauncher::detectedCommand()
{
    if (!m_detected) {
        const std::optional<std::string> application = defaultApplicationFor("text/plain");
        m_detected = application ? editorCommandForApplication(*application) : std::string(kOpenWithoutLine);
    }
    return *m_detected;
}

ShellResult XdgEditorLauncher::openAtLine(const std::string& command, const std::string& path, std::int64_t line)
{
    const std::vector<std::string> arguments = editorArguments(command, path, line);
    if (arguments.empty())
        return ShellResult::failed("No editor command is set (Settings > Advanced Settings).");
    const int error = startDetached(arguments, folderOfPath(path));
    if (error == 0)
        return ShellResult::done();
    return ShellResult::failed("Cannot start \"" + arguments.front() + "\": " + errorText(error) + ".");
}

} // namespace vellick
