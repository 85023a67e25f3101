#pragma once

#include "base/directory_listing.h"
#include "base/file_system_kind.h"
#include "base/paths.h"
#include "base/unique_fd.h"
#include "search/walk_filter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellick {

// An open directory of the walk with its path. Files queued for scanning hold it too, so it stays open
// until the last of them has been scanned.
struct OpenDirectory {
    UniqueFd fd;
    std::string path;
    FileSystemKind fileSystem = FileSystemKind::Unknown; // of the directory, taken for its files
};

// Depth-first walk of a folder tree in the search's order: a folder's own files, pattern by pattern in
// listing order, then (with sub-folders) its entries, entering each folder whose name does not begin
// with "." before going on. Several start folders are walked one after the other, each as one would be.
// A WalkFilter, when given, leaves files and folders out before they are opened. Directories are opened
// relative to their parent's descriptor, so depth and path length are not limited by PATH_MAX; a folder
// that cannot be opened is passed over. Each folder's listing is read whole when it is entered, so below
// a depth the walk closes the folders above it and opens them again, name by name from the nearest open
// one, when it needs them: a tree of any depth needs no more descriptors than the caller allows. A folder
// that cannot be opened for want of a descriptor is not passed over: next() says so, and the next call
// tries it again.
class FolderWalk {
public:
    enum class EventType {
        EnteredFolder, // a folder's walk begins (openDirectory() is it)
        File, // a file to scan: name() in openDirectory()
        SubFolderEntry, // one entry of the sub-folder enumeration was handled
        OutOfDescriptors, // a folder could not be opened for want of a descriptor (EMFILE, ENFILE)
        Done,
    };

    FolderWalk(std::vector<std::string> filePatterns, bool subFolders, bool includeHidden);

    // With sub-folders, enters folders down to this level only (the root is level 0); -1 for no limit.
    void setMaxDepth(int maxDepth) { m_maxDepth = maxDepth; }

    // Files and folders the filter leaves out are passed over as if they were not there. Given before start().
    void setFilter(WalkFilter filter) { m_filter.emplace(std::move(filter)); }

    // Begins at the directory `rootPath` names (absolute), or at each of `rootPaths` in turn.
    void start(const std::string& rootPath) { start(std::vector<std::string> { rootPath }); }
    void start(std::vector<std::string> rootPaths);
    EventType next();
    // At most this many folders on the way down stay open (at least one); deeper ones are closed while
    // the walk is below them.
    void keepFoldersOpen(std::size_t count) { m_keptOpen = count > 0 ? count : 1; }
    // Gives up the folder that could not be opened for want of a descriptor.
    void passOverBlocked();

    const std::shared_ptr<const OpenDirectory>& openDirectory() const { return m_frames.back().directory; }
    std::string_view name() const { return m_name; } // zero-terminated in the listing

private:
    struct Frame {
        std::shared_ptr<const OpenDirectory> directory; // null while closed
        std::string path;
        DirectoryListing listing;
        std::size_t patternIndex = 0;
        std::size_t entryIndex = 0;
        bool inSubFolders = false;
    };

    bool nextFile(Frame& frame);
    bool enter(int parentFd, const std::string& path, const char* openName);
    bool enterRoot();
    void leave();
    bool enterSubFolder(std::size_t depth, std::size_t index);
    bool entersFolder(const Frame& frame, std::size_t index);
    std::string_view belowRoot(const Frame& frame) const;
    bool reopen(std::size_t depth);
    bool isCandidateFile(const Frame& frame, std::size_t index);

    std::vector<std::string> m_patterns;
    bool m_subFolders;
    bool m_includeHidden;
    int m_maxDepth = -1;
    std::optional<WalkFilter> m_filter;
    std::vector<std::string> m_rootPaths;
    std::size_t m_nextRoot = 0; // the start folder entered next
    std::vector<Frame> m_frames;
    std::size_t m_keptOpen = SIZE_MAX;
    bool m_pendingEnter = false;
    std::string_view m_name;
};

} // namespace vellick
