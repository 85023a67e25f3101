#pragma once

#include "base/paths.h"
#include "report/report_options.h"

#include <string>

namespace vellick {

// What the commands on found files remember for the program's run, never saved: the report format and
// columns (shared by the save and print dialogs) and the last destination folder (copy to folder sets it;
// it is where the folder browser and the report save dialog open).
struct FileCommandState {
    ReportFormat reportFormat = ReportFormat::Csv;
    ReportOptions reportOptions;
    std::string lastDestinationFolder;
    // The window's current folder: where those open before a destination has been chosen.
    std::string currentFolder;
};

// Where a destination dialog opens first: the window's current folder, or the process's current
// directory when no window has set one.
inline std::string startFolder(const FileCommandState& state)
{
    return state.currentFolder.empty() ? currentDirectory().value_or("") : state.currentFolder;
}

} // namespace vellick
