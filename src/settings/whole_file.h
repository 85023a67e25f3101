#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellick {

// Whole-file reading and crash-safe replacing for the program's own small files (the settings file).

enum class FileReadStatus {
    Read, // content holds the whole file
    Missing, // no file there yet: it may be created
    Unusable, // a folder, a device or FIFO, unreadable, too large or failing while read: leave it alone
};

struct WholeFile {
    FileReadStatus status = FileReadStatus::Missing;
    std::string content;
};

// Reads a regular file of at most maxSize bytes. Never blocks on a FIFO and never reads a device.
WholeFile readWholeFile(const std::string& path, std::size_t maxSize);

// Replaces the file's content so that, whatever happens (a crash, kill -9, a full disk), the file holds
// either its old or its new content in full: the new content goes to a temporary file in the same folder,
// is flushed to disk and renamed over the old file, whose permission bits (and owner, where allowed) it
// takes. A symbolic link is followed, so the link stays. A read-only file, one the user may not write, or
// anything but a regular file is not replaced. Temporary files of this file left by a writer that was
// killed mid-save are removed. Returns false when the file was left as it was.
bool replaceWholeFile(const std::string& path, std::string_view content);

// Makes the folder a file is to go in, with its missing parents (new ones private to the user, mode
// 0700). True when the folder exists afterwards.
bool makeParentFolders(const std::string& filePath);

} // namespace vellick
