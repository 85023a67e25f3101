#pragma once

#include "report/report_options.h"
#include "search/search_request.h"

#include <optional>
#include <string>
#include <vector>

namespace vellick {

// What vellick-cli prints for each found file.
enum class OutputMode { Paths, Counts, Lines, Json, Context, Quiet };
enum class ColorChoice { Auto, Always, Never };

// vellick-cli's command line: the search panel's options plus what to print.
struct CliOptions {
    PanelInput panel; // panel.folder is unused: see folders
    SearchSettings settings;
    std::vector<std::string> folders; // -d and, with -e, the arguments; none means the current folder
    std::optional<std::string> listedFile; // --listed: re-check the paths listed in this file
    OutputMode output = OutputMode::Paths;
    ColorChoice color = ColorChoice::Auto;
    bool relativePaths = false; // --relative
    int threads = 0; // -j: scanning threads; 0 means one per processor, more while files come from disk
    bool showLineNumbers = true; // --context lines and report lines start with their line-number prefix
    std::optional<std::string> reportPath; // --report: write a report of every found file
    ReportFormat reportFormat = ReportFormat::Csv;
    ReportOptions reportOptions; // --include
    bool showHelp = false;
    bool showVersion = false;
};

// The outcome of parsing: options, or the reason they are bad (printed with a usage hint, exit 2).
struct CliParse {
    std::optional<CliOptions> options;
    std::string error;
};

CliParse parseCliOptions(int argc, const char* const* argv);

// A decimal integer with an optional sign, clamped to [low, high]; nothing when the text is not one.
std::optional<int> parseClampedInt(const std::string& text, int low, int high);

} // namespace vellick
