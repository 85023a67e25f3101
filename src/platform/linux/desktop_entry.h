#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// An installed application's .desktop file, as far as starting it with one file goes. Used to show the
// print report with the plain-text application, whatever the report's own extension suggests.
class DesktopEntry {
public:
    // Looks the id ("org.gnome.TextEditor.desktop") up under applications/ of $XDG_DATA_HOME and then of
    // each folder of $XDG_DATA_DIRS; nothing when no readable file with an Exec key is found.
    static std::optional<DesktopEntry> find(const std::string& desktopId);
    // Reads an entry from its text; nothing without an Exec key in its [Desktop Entry] group.
    static std::optional<DesktopEntry> parse(std::string_view text, std::string filePath);

    // The command line for opening `path`: the Exec arguments with %f, %F, %u and %U replaced by the path
    // (added at the end when the line has none of them), %% by "%", %k by the entry's file, other field
    // codes dropped.
    std::vector<std::string> commandFor(const std::string& path) const;

    const std::string& execLine() const { return m_exec; }

private:
    std::string m_exec;
    std::string m_name;
    std::string m_filePath;
};

// Splits an Exec value into arguments by the Desktop Entry rules: string escapes (\s \n \t \r \\) first,
// then blanks between arguments and double quotes around them with \" \` \$ \\ inside.
std::vector<std::string> splitExecLine(std::string_view exec);

} // namespace vellick
