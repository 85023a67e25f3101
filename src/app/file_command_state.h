#pragma once

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
};

} // namespace vellick
