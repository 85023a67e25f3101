#pragma once

#include "report/report_options.h"
#include "search/search_request.h"

#include <optional>
#include <string>

namespace vellick {

// vellick-cli's command line: the search panel's options plus what to print.
struct CliOptions {
    PanelInput panel;
    SearchSettings settings;
    std::optional<std::string> listedFile; // -l: re-check the paths listed in this file
    bool printHits = false; // --hits: one JSON object per found file
    int threads = 0; // --threads: scanning threads; 0 means one per processor
    bool printContext = false; // --context: each path followed by its display lines
    bool showLineNumbers = true; // display lines and report lines start with their line-number prefix
    std::optional<std::string> reportPath; // -o: write a report of every found file
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

CliParse parseCliOptions(int argc, char** argv);

// A decimal integer with an optional sign, clamped to [low, high]; nothing when the text is not one.
std::optional<int> parseClampedInt(const std::string& text, int low, int high);

extern const char* const kCliUsage;

} // namespace vellick
