#pragma once

#include "platform/shell_result.h"

#include <string>

namespace vellick {

class CVellickDoc;
class TrashService;

// The question asked before Delete, captioned "Confirm file delete".
inline constexpr const char* kDeleteQuestion = "Are you sure you want to send the selected file(s) to the Trash?";
inline constexpr const char* kDeleteCaption = "Confirm file delete";

struct DeleteOutcome {
    int deleted = 0;
    ShellResult stoppedBy; // Done when every taken file went to the Trash
};

// Sends the taken rows' files to the Trash, one at a time from the last row up, and takes each row out
// of the display order once its file is gone. The first failure or cancel stops the walk; files trashed
// before stay trashed, rows not yet walked stay. Afterwards the first row's record is current (when rows
// remain) and the views hear DocumentHint::CurrentChanged. Without a current record nothing happens.
DeleteOutcome deleteTakenFiles(CVellickDoc& doc, TrashService& trash);

} // namespace vellick
