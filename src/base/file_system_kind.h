#pragma once

#include <cstdint>

namespace vellick {

// What a file's reads can be trusted with, by the file system it lies on.
enum class FileSystemKind : uint8_t {
    Unknown, // not asked yet
    Local, // a disk or memory file system: a read that returns less than asked for met the file's end
    Generated, // the kernel makes the files up as they are read (/proc, /sys, ...): sizes say nothing, and
               // some never end
    Other, // network and user-space file systems: reads may come short before the end
};

// The kind of the file system the open file or directory `fd` lies on (Other when that cannot be told).
FileSystemKind fileSystemKind(int fd);

} // namespace vellick
