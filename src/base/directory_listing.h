#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// What the walk makes of a directory entry: a folder is a directory that is not a symbolic link; a file
// is a regular file or a link to one; everything else (links to folders, broken links, FIFOs, sockets,
// devices) is neither and is never opened or entered.
enum class EntryKind : uint8_t { File, Folder, Other };

// The entries of one directory, without "." and "..", in the walk's order: ASCII-lower-cased names byte
// by byte, ties by the raw bytes. Names live in one block of memory, each followed by a zero byte.
class DirectoryListing {
public:
    // Reads every entry of the open directory; false when it cannot be read (the listing is then empty).
    bool read(int dirFd);

    std::size_t size() const { return m_entries.size(); }
    std::string_view name(std::size_t index) const;
    EntryKind kind(std::size_t index) const { return m_entries[index].kind; }

private:
    struct Entry {
        uint32_t offset;
        uint32_t length;
        EntryKind kind;
    };

    void sortEntries();

    std::string m_names;
    std::vector<Entry> m_entries;
};

} // namespace vellick
