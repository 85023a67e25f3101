#pragma once

#include "platform/linux/desktop/freedesktop_file_manager.h"
#include "platform/linux/xdg_editor_launcher.h"

namespace vellick {

// The desktop's services for showing found files in the file manager and opening them in the editor,
// owned by the main window. The file manager falls back on the given launcher.
struct LinuxDesktopServices {
    explicit LinuxDesktopServices(Launcher& launcher)
        : fileManager(launcher)
    {
    }
    FreedesktopFileManager fileManager;
    XdgEditorLauncher editor;
};

} // namespace vellick
