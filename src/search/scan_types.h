#pragma once

#include "documents/container_reader.h"

#include <cstdint>
#include <string>
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

// A member of an archive (or a document's text, with an empty path) that matched.
struct MemberHits {
    std::string path; // as the container reader names it
    FileKind kind = FileKind::Text;
    FileStatus status; // the member's size and time
    bool cutAtLimit = false;
    std::vector<Hit> hits;
};

// What a scan found inside a document or an archive, when the search looks inside them. Empty vectors
// for every other file, so a file that is no container costs nothing more.
struct ContainerHits {
    ContainerKind kind = ContainerKind::None;
    unsigned checked = 0; // members (or texts) scanned
    std::vector<MemberHits> found; // in the container's order
    std::vector<ContainerNotice> notices;

    void clear()
    {
        kind = ContainerKind::None;
        checked = 0;
        found.clear();
        notices.clear();
    }
};

// What one scan of one file gives; reused from file to file so its vectors keep their capacity.
struct ScanResult {
    bool opened = false;
    bool found = false;
    FileKind kind = FileKind::Text;
    FileStatus status;
    std::vector<Hit> hits; // in ascending offset order when found
    ContainerHits container; // a container's own bytes are not scanned: `found` and `hits` stay empty

    void reset()
    {
        opened = false;
        found = false;
        kind = FileKind::Text;
        status = {};
        hits.clear();
        container.clear();
    }
};

} // namespace vellick
