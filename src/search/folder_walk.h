#pragma once

#include "base/directory_listing.h"
#include "base/paths.h"
#include "base/unique_fd.h"

#include <memory>
#include <string>
#include <vector>

namespace vellick {

// An open directory of the walk with its path. Files queued for scanning hold it too, so it stays open
// until the last of them has been scanned.
struct OpenDirectory {
    UniqueFd fd;
    std::string path;
};

// Depth-first walk of a folder tree in the search's order: a folder's own files, pattern by pattern in
// listing order, then (with sub-folders) its entries, entering each folder whose name does not begin
// with "." before going on. Directories are opened relative to their parent's descriptor, so depth and
// path length are not limited by PATH_MAX; a folder that cannot be opened is passed over.
class FolderWalk {
public:
    enum class EventType {
        EnteredFolder, // a folder's walk begins (openDirectory() is it)
        File, // a file to scan: name() in openDirectory()
        SubFolderEntry, // one entry of the sub-folder enumeration was handled
        Done,
    };

    FolderWalk(std::vector<std::string> filePatterns, bool subFolders, bool includeHidden);

    // With sub-folders, enters folders down to this level only (the root is level 0); -1 for no limit.
    void setMaxDepth(int maxDepth) { m_maxDepth = maxDepth; }

    // Begins at the directory `rootPath` names (absolute).
    void start(const std::string& rootPath);
    EventType next();

    const std::shared_ptr<const OpenDirectory>& openDirectory() const { return m_frames.back().directory; }
    std::string_view name() const { return m_name; } // zero-terminated in the listing

private:
    struct Frame {
        std::shared_ptr<const OpenDirectory> directory;
        DirectoryListing listing;
        std::size_t patternIndex = 0;
        std::size_t entryIndex = 0;
        bool inSubFolders = false;
    };

    bool nextFile(Frame& frame);
    void enter(int parentFd, const std::string& path, const char* openName);
    bool isCandidateFile(const Frame& frame, std::size_t index) const;

    std::vector<std::string> m_patterns;
    bool m_subFolders;
    bool m_includeHidden;
    int m_maxDepth = -1;
    std::vector<Frame> m_frames;
    bool m_pendingEnter = false;
    std::string_view m_name;
};

} // namespace vellick
