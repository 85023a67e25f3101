#pragma once

#include <cstdint>
#include <vector>

namespace vellick {

// How a file's hit lines are counted: decided from the first 256 stream bytes.
enum class FileKind : int32_t { Text = 1, Binary = 2 };

// One match of a pattern in a file.
struct Hit {
    uint64_t offset = 0; // stream position of the first byte of the match
    uint64_t line = 0; // line feeds from the stream's start through the match's last byte; 0 in binary files
    uint32_t length = 0; // pattern length, less the two delimiters under whole word
    uint8_t pattern = 0; // number of the pattern in the keyword list
};

// File status as read when the file was opened for scanning.
struct FileStatus {
    int64_t size = 0;
    int64_t modified = 0; // seconds since 1970-01-01 00:00 UTC
    int32_t modifiedNanoseconds = 0; // the part of the second, so that a change within it is seen
};

// What one scan of one file gives; reused from file to file so its vectors keep their capacity.
struct ScanResult {
    bool opened = false;
    bool found = false;
    FileKind kind = FileKind::Text;
    FileStatus status;
    std::vector<Hit> hits; // in ascending offset order when found

    void reset()
    {
        opened = false;
        found = false;
        kind = FileKind::Text;
        status = {};
        hits.clear();
    }
};

} // namespace vellick
