#pragma once

#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/system_printer.h"
#include "platform/linux/xdg_launcher.h"

namespace vellick {

// The desktop's shell services for the commands on found files, owned by the main window.
struct LinuxFileServices {
    FreedesktopTrash trash;
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    XdgLauncher launcher;
    SystemPrinter printer;
};

} // namespace vellick
