#pragma once

#include "platform/file_copier.h"

#include <string>
#include <utility>
#include <vector>

namespace vellick {

class CLine;
class CVellickDoc;
class MemberCopies;

inline constexpr const char* kCopiedToItself = "File cannot be copied to itself.";
inline constexpr const char* kDestinationFolderTitle = "Select a destination folder";
inline constexpr int kCopyBatchSize = 100;

// What the save dialog of copy one file shows: its title, the name it starts with, and the type filters
// (label, pattern) in order.
struct CopyDialogSetup {
    std::string title;
    std::string defaultName;
    std::vector<std::pair<std::string, std::string>> filters;
};

// "Copy NAME to"; with an extension (from the last "." of the whole path) the filters are "TYPE    *.EXT"
// and "All Files    *.*", without one only "TYPE    *.*".
CopyDialogSetup copyDialogSetup(const CLine& line);

// Whether two paths name one file: the same text, or the same file on disk (hard links, symbolic links,
// a case-insensitive file system).
bool sameFile(const std::string& first, const std::string& second);

// Copy one file to the chosen path; refuses to copy a file onto itself (kCopiedToItself).
ShellResult copyOneFile(
    const std::string& source, const std::string& target, FileCopier& copier, ReplaceDecision& replace);

struct FolderCopyOutcome {
    int batchesCopied = 0;
    ShellResult stoppedBy;
};

// Copy to folder: the taken rows' files in display order, in batches of the smaller of the row count and
// 100 paths; a failed or cancelled batch ends the walk.
// Members of archives are extracted into `members` first (without it they cannot be copied: the walk
// stops at the first one).
FolderCopyOutcome copyTakenToFolder(const CVellickDoc& doc, const std::string& folder, FileCopier& copier,
    ReplaceDecision& replace, MemberCopies* members = nullptr);

} // namespace vellick
