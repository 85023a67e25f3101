#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace vellick {

namespace {

using C = CommandId;

constexpr std::array kCommands = {
    CommandInfo { C::Open, "&Open...", { "Ctrl+O" }, "Open a file with its associated application", "Open a file",
        "document-open", ":/toolbar/open.svg" },
    CommandInfo {
        C::OpenWith, "Open &With ...", {}, "Open a file with a specified application", nullptr, nullptr, nullptr },
    CommandInfo { C::CopyTo, "&Copy To", {}, "Copy a file", nullptr, nullptr, nullptr },
    CommandInfo { C::Rename, "&Rename", {}, "Rename a file", nullptr, nullptr, nullptr },
    CommandInfo { C::Delete, "&Delete", { "Shift+Del" }, "Delete the selected file", nullptr, nullptr, nullptr },
    CommandInfo { C::PrintResult, "&Print Search Result", {}, "Print search result", "Print search result",
        "document-print", ":/toolbar/print.svg" },
    CommandInfo { C::PrintPreview, "Print Pre&view", {}, "Preview search result print out", nullptr, nullptr, nullptr },
    CommandInfo { C::SaveReport, "&Save Search Result To Generate Report", {},
        "Save search result to file to generate report", "Save search result to file to generate report",
        "document-save", ":/toolbar/save.svg" },
    CommandInfo { C::Exit, "E&xit", {}, "Quit Vellick", nullptr, nullptr, nullptr },
    CommandInfo { C::Copy, "&Copy", { "Ctrl+C", "Ctrl+Ins" }, "Copy the selected text to the clipboard", "Copy",
        "edit-copy", ":/toolbar/copy.svg" },
    CommandInfo { C::Paste, "&Paste", { "Ctrl+V", "Shift+Ins" }, "Make the clipboard text the keyword text", "Paste",
        "edit-paste", ":/toolbar/paste.svg" },
    CommandInfo { C::CheckAll, "Check &All", {}, "Check all the resultant files", "Check all the resultant files",
        nullptr, ":/toolbar/check_all.svg" },
    CommandInfo { C::UncheckAll, "&Un Check All", {}, "Un-check all the resultant files",
        "Un-check all the resultant files", nullptr, ":/toolbar/uncheck_all.svg" },
    CommandInfo { C::ToggleToolBar, "&Toolbar", {}, "Show or hide the toolbar", nullptr, nullptr, nullptr },
    CommandInfo { C::ToggleStatusBar, "&Status Bar", {}, "Show or hide the status bar", nullptr, nullptr, nullptr },
    CommandInfo { C::ShowLineNumber, "Show Line &Number", {}, "Show or hide the line number in front of each line",
        "Show Line Number", nullptr, ":/toolbar/line_number.svg" },
    CommandInfo { C::SwitchLayout, "&Horizontal / Vertical", {}, "Show the result list beside or above the text pane",
        "Horizontal / Vertical", nullptr, ":/toolbar/layout.svg" },
    CommandInfo { C::AdvancedSettings, "&Advanced Settings", {}, "Include hidden files and limit the hits per file",
        nullptr, nullptr, nullptr },
    CommandInfo { C::HelpIndex, "&Index", {}, "Open the user manual", nullptr, nullptr, nullptr },
    CommandInfo { C::HelpUsing, "&Using Help", {}, "How to use the user manual", nullptr, nullptr, nullptr },
    CommandInfo { C::About, "&About Vellick...", {}, "Show the program's version", "About Vellick", "help-about",
        ":/toolbar/about.svg" },
    CommandInfo { C::Help, "Help", { "F1" }, "Open the user manual", nullptr, nullptr, nullptr },
    CommandInfo {
        C::HelpMode, "Help Mode", { "Shift+F1" }, "Click an item to learn what it does", nullptr, nullptr, nullptr },
    CommandInfo { C::NextPane, "Next Pane", { "F6" }, "Move to the next pane", nullptr, nullptr, nullptr },
    CommandInfo {
        C::PreviousPane, "Previous Pane", { "Shift+F6" }, "Move to the previous pane", nullptr, nullptr, nullptr },
    CommandInfo { C::OpenContainingFolder, "Open Containing &Folder", { "Ctrl+Shift+O" },
        "Show the selected file in its folder in the file manager", "Open Containing Folder", "folder-open", nullptr },
    CommandInfo { C::OpenAtLine, "Open at &Line", { "Ctrl+Return", "Ctrl+Enter" },
        "Open the selected file in the text editor at the line of its first hit", "Open at Line", nullptr, nullptr },
    CommandInfo { C::CopyPath, "Copy Pa&th", { "Ctrl+Shift+C" },
        "Copy the paths of the selected and checked files to the clipboard", "Copy Path", nullptr, nullptr },
    CommandInfo { C::CopyName, "Copy &Name", {}, "Copy the names of the selected and checked files to the clipboard",
        "Copy Name", nullptr, nullptr },
    CommandInfo { C::RemoveFromList, "Re&move from List", { "Del" },
        "Remove the selected and checked files from the list; the files stay where they are", "Remove from List",
        nullptr, nullptr },
};

constexpr MenuEntry cmd(CommandId id)
{
    return { false, id };
}
constexpr MenuEntry kSeparator { true, CommandId::Exit };

constexpr std::array kFileMenu = { cmd(C::Open), cmd(C::OpenWith), cmd(C::OpenContainingFolder), cmd(C::OpenAtLine),
    kSeparator, cmd(C::CopyTo), cmd(C::Rename), cmd(C::Delete), kSeparator, cmd(C::PrintResult), cmd(C::PrintPreview),
    kSeparator, cmd(C::SaveReport), kSeparator, cmd(C::Exit) };
constexpr std::array kEditMenu = { cmd(C::Copy), cmd(C::Paste), kSeparator, cmd(C::CheckAll), cmd(C::UncheckAll),
    kSeparator, cmd(C::CopyPath), cmd(C::CopyName), cmd(C::RemoveFromList) };
constexpr std::array kViewMenu = { cmd(C::ToggleToolBar), cmd(C::ToggleStatusBar), kSeparator, cmd(C::ShowLineNumber),
    kSeparator, cmd(C::SwitchLayout) };
constexpr std::array kSettingsMenu = { cmd(C::AdvancedSettings) };
constexpr std::array kHelpMenu = { cmd(C::HelpIndex), cmd(C::HelpUsing), kSeparator, cmd(C::About) };

constexpr std::array kMenus = {
    MenuInfo { "&File", kFileMenu },
    MenuInfo { "&Edit", kEditMenu },
    MenuInfo { "&View", kViewMenu },
    MenuInfo { "Settings", kSettingsMenu },
    MenuInfo { "&Help", kHelpMenu },
};

constexpr std::array kToolBar = { cmd(C::Open), kSeparator, cmd(C::SaveReport), kSeparator, cmd(C::Copy), cmd(C::Paste),
    cmd(C::CheckAll), cmd(C::UncheckAll), kSeparator, cmd(C::ShowLineNumber), cmd(C::SwitchLayout), kSeparator,
    cmd(C::PrintResult), kSeparator, cmd(C::About) };

constexpr std::array kContextMenu = { cmd(C::Open), cmd(C::OpenWith), kSeparator, cmd(C::CheckAll), cmd(C::UncheckAll),
    kSeparator, cmd(C::Rename), cmd(C::CopyTo), cmd(C::Delete), kSeparator, cmd(C::PrintResult), cmd(C::PrintPreview),
    kSeparator, cmd(C::SaveReport), kSeparator, cmd(C::OpenContainingFolder), cmd(C::OpenAtLine), cmd(C::CopyPath),
    cmd(C::CopyName), cmd(C::RemoveFromList) };

} // namespace

std::span<const CommandInfo> commandTable()
{
    return kCommands;
}

const CommandInfo& commandInfo(CommandId id)
{
    const auto* it = std::find_if(kCommands.begin(), kCommands.end(), [id](const auto& info) { return info.id == id; });
    return *it;
}

std::span<const MenuInfo> mainMenus()
{
    return kMenus;
}

std::span<const MenuEntry> toolBarSlots()
{
    return kToolBar;
}

std::span<const MenuEntry> listContextMenu()
{
    return kContextMenu;
}

bool listOnlyKeys(CommandId id)
{
    return id == CommandId::Delete || id == CommandId::RemoveFromList || id == CommandId::OpenAtLine;
}

} // namespace vellick
