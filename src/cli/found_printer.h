#pragma once

#include "cli/cli_options.h"

#include <string>
#include <string_view>

namespace vellick {

class CLine;
class MessageSink;
class OutputWriter;

// Prints found files as vellick-cli's options ask: paths, PATH:HITS counts, grep-style PATH:LINE:TEXT
// lines with the keywords coloured, JSON objects, or paths followed by the window's display lines.
// Borrows the writer and the sink for the surrounding-text loader's messages.
class FoundPrinter {
public:
    struct Style {
        OutputMode mode = OutputMode::Paths;
        bool color = false; // keywords in red (lines only)
        bool showLineNumbers = true; // the window's prefix in --context lines
        std::string relativeTo; // non-empty: print paths under this folder relative to it
    };

    FoundPrinter(Style style, OutputWriter& out, MessageSink& messages);

    // Prints one found file; its contexts are loaded for the lines and dropped again.
    void print(CLine& line);

    // The path as printed: relative to Style::relativeTo when it lies under it.
    std::string shownPath(std::string_view path) const;

private:
    void printLines(CLine& line, const std::string& path);
    void printContext(CLine& line, const std::string& path);

    Style m_style;
    OutputWriter& m_out;
    MessageSink& m_messages;
};

} // namespace vellick
