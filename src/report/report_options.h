#pragma once

namespace vellick {

// The report formats; each value is also the filter index of the save dialog.
enum class ReportFormat : int {
    Csv = 1, // "CSV (MicroSoft Excel File)"
    Import = 2, // "Text File for import to MS Access"
    PlainText = 3, // "Plain Text File"
};

// The columns a report holds besides the file's name. The window keeps one set for the program's run,
// shared by the save and print dialogs; vellick-cli takes it from --include.
struct ReportOptions {
    bool includePath = false; // the name column holds the full path
    bool includeType = false;
    bool includeSize = false;
    bool includeModified = false;
    bool includeContext = false;
    bool includeKeywords = false;
    bool includeHits = false; // the hit count, "1024+" when the file's hits stopped at the hit limit
};

// Everything that decides how one report is written.
struct ReportSettings {
    ReportFormat format = ReportFormat::Csv;
    ReportOptions options;
    bool showLineNumbers = true; // display lines start with their line-number prefix
};

} // namespace vellick
