#pragma once

#include <optional>
#include <string>

class QWidget;

namespace vellick {

class ModalRunner;
struct FileCommandState;

// The save dialog "Save search result to file": the three report formats as filters, opening on the
// current format in the last destination folder (the current directory when there is none yet), with
// the "Include Information :" boxes below, which change the state at once, also when the dialog is
// then cancelled. Returns the chosen path with the format's extension, and sets the format; nothing when
// cancelled. When the extension made the name another existing file's, the user is asked before it is
// replaced; No gives nothing.
std::optional<std::string> ChooseReportFile(QWidget* owner, ModalRunner& runner, FileCommandState& state);

} // namespace vellick
