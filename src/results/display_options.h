#pragma once

namespace vellick {

// The process-wide display choices: they live for the program's run and are never saved. The text pane's
// Show Line Number command flips showLineNumbers; the pane and the reports written from the window read it.
// vellick-cli keeps its own choice and passes it on as a value.
class DisplayOptions {
public:
    static bool showLineNumbers();
    static void setShowLineNumbers(bool show);
};

} // namespace vellick
