#pragma once

#include <span>

namespace vellick {

// The window's commands; the numbers are the command identifiers the menus, the toolbar and the
// accelerators share.
enum class CommandId : int {
    Open = 57601,
    OpenWith = 32771,
    CopyTo = 32776,
    Rename = 32775,
    Delete = 32774,
    PrintResult = 32780,
    PrintPreview = 57609,
    SaveReport = 32781,
    Exit = 57665,
    Copy = 57634,
    Paste = 57637,
    CheckAll = 57642,
    UncheckAll = 32784,
    ToggleToolBar = 59392,
    ToggleStatusBar = 59393,
    ShowLineNumber = 32772,
    SwitchLayout = 32777,
    AdvancedSettings = 32778,
    HelpIndex = 57666,
    HelpUsing = 57668,
    About = 57664,
    Help = 57670,
    HelpMode = 57669,
    NextPane = 57680,
    PreviousPane = 57681,
    OpenContainingFolder = 32790,
    OpenAtLine = 32791,
    CopyPath = 32792,
    CopyName = 32793,
    RemoveFromList = 32794,
};

// What the interface shows for one command: its menu text with the mnemonic, the shortcut texts (the
// first one is shown in the menu), the prompt the status bar shows while the item is highlighted, the
// toolbar's tool tip and the icon.
struct CommandInfo {
    CommandId id;
    const char* menuText;
    const char* shortcuts[2];
    const char* prompt;
    const char* toolTip;
    const char* themeIcon; // freedesktop icon name, or nullptr
    const char* ownIcon; // resource path of the drawn fallback, or nullptr
};

// Every command, in menu order.
std::span<const CommandInfo> commandTable();
const CommandInfo& commandInfo(CommandId id);

// One entry of a menu or the toolbar: a command, or a separator.
struct MenuEntry {
    bool separator;
    CommandId id;
};

struct MenuInfo {
    const char* title;
    std::span<const MenuEntry> entries;
};

std::span<const MenuInfo> mainMenus();
// The toolbar's fifteen slots.
std::span<const MenuEntry> toolBarSlots();
// The result list's context menu.
std::span<const MenuEntry> listContextMenu();
// Whether a command's keys work only while a result list has the focus (keys that mean something else
// in the boxes and the text pane).
bool listOnlyKeys(CommandId id);

} // namespace vellick
