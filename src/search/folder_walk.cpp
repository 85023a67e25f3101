#include "search/folder_walk.h"

#include "base/open_file_limit.h"
#include "search/file_patterns.h"

#include <cerrno>
#include <fcntl.h>

namespace vellick {

FolderWalk::FolderWalk(std::vector<std::string> filePatterns, bool subFolders, bool includeHidden)
    : m_patterns(std::move(filePatterns))
    , m_subFolders(subFolders)
    , m_includeHidden(includeHidden)
{
}

void FolderWalk::start(std::vector<std::string> rootPaths)
{
    m_frames.clear();
    m_rootPaths = std::move(rootPaths);
    m_nextRoot = 0;
    m_pendingEnter = false;
    // The first folder is listed at once (the others when their turn comes); next() tries again when no
    // descriptor was free.
    if (!m_rootPaths.empty())
        enterRoot();
}

void FolderWalk::passOverBlocked()
{
    if (!m_frames.empty())
        ++m_frames.back().entryIndex;
    else if (m_nextRoot < m_rootPaths.size())
        ++m_nextRoot;
}

// Enters the next start folder (or passes over one that cannot be opened); false, changing nothing, for
// want of a descriptor.
bool FolderWalk::enterRoot()
{
    const std::string& root = m_rootPaths[m_nextRoot];
    if (!enter(AT_FDCWD, root, root.c_str()))
        return false;
    ++m_nextRoot;
    if (m_filter && !m_frames.empty())
        m_filter->startRoot(root);
    return true;
}

void FolderWalk::leave()
{
    if (m_filter && m_frames.size() > 1)
        m_filter->leaveFolder();
    m_frames.pop_back();
}

// The path of a folder of the walk from the start folder it lies in ("" for the start folder itself).
std::string_view FolderWalk::belowRoot(const Frame& frame) const
{
    const std::string& root = m_frames.front().path;
    if (frame.path.size() <= root.size())
        return {};
    return std::string_view(frame.path).substr(root.size() + (root.back() == '/' ? 0 : 1));
}

// Opens and lists a folder and makes it the current one; false, changing nothing, when that failed for
// want of a descriptor (a folder that cannot be opened for another reason is passed over).
bool FolderWalk::enter(int parentFd, const std::string& path, const char* openName)
{
    UniqueFd fd(::openat(parentFd, openName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return !outOfDescriptors(errno);
    Frame frame;
    if (!frame.listing.read(fd.get()) && outOfDescriptors(errno))
        return false;
    const FileSystemKind fileSystem = fileSystemKind(fd.get());
    frame.directory = std::make_shared<const OpenDirectory>(OpenDirectory { std::move(fd), path, fileSystem });
    frame.path = path;
    m_frames.push_back(std::move(frame));
    m_pendingEnter = true;
    return true;
}

// Enters the sub-folder at `index` of the folder at `depth`, opening that folder again if it was closed,
// and closes it behind when it lies deeper than the folders kept open.
bool FolderWalk::enterSubFolder(std::size_t depth, std::size_t index)
{
    if (!m_frames[depth].directory && !reopen(depth))
        return false;
    const Frame& frame = m_frames[depth];
    if (!frame.directory)
        return true; // gone meanwhile: its sub-folders are passed over
    const std::shared_ptr<const OpenDirectory> directory = frame.directory;
    const std::string_view name = frame.listing.name(index);
    const std::size_t frames = m_frames.size();
    if (!enter(directory->fd.get(), joinPath(frame.path, name), name.data()))
        return false;
    if (m_filter && m_frames.size() > frames)
        m_filter->enterFolder(m_frames.back().directory->fd.get(), belowRoot(m_frames.back()));
    if (depth > 0 && depth + 1 >= m_keptOpen)
        m_frames[depth].directory.reset(); // files queued from it may still hold it open a while
    return true;
}

// Opens a closed folder again from the nearest open one above it, one name at a time: its path may be
// too long to open whole. False only for want of a descriptor; a folder that is gone meanwhile has its
// remaining sub-folders passed over.
bool FolderWalk::reopen(std::size_t depth)
{
    std::size_t open = depth;
    while (!m_frames[open].directory)
        --open; // the root is never closed
    UniqueFd fd;
    int at = m_frames[open].directory->fd.get();
    for (std::size_t level = open; level < depth; ++level) {
        const Frame& parent = m_frames[level];
        const char* name = parent.listing.name(parent.entryIndex - 1).data(); // the sub-folder walked into
        UniqueFd next(::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            if (outOfDescriptors(errno))
                return false;
            m_frames[depth].entryIndex = m_frames[depth].listing.size();
            return true;
        }
        fd = std::move(next);
        at = fd.get();
    }
    Frame& frame = m_frames[depth];
    const FileSystemKind fileSystem = fileSystemKind(fd.get());
    frame.directory = std::make_shared<const OpenDirectory>(OpenDirectory { std::move(fd), frame.path, fileSystem });
    return true;
}

FolderWalk::EventType FolderWalk::next()
{
    for (;;) {
        if (m_frames.empty()) {
            if (m_nextRoot == m_rootPaths.size())
                return EventType::Done;
            if (!enterRoot())
                return EventType::OutOfDescriptors;
            continue;
        }
        if (m_pendingEnter) {
            m_pendingEnter = false;
            return EventType::EnteredFolder;
        }
        Frame& frame = m_frames.back();
        if (!frame.inSubFolders) {
            if (nextFile(frame))
                return EventType::File;
            frame.inSubFolders = true;
            frame.entryIndex = 0;
            if (!m_subFolders || (m_maxDepth >= 0 && m_frames.size() > static_cast<std::size_t>(m_maxDepth))) {
                leave();
                continue;
            }
        }
        if (frame.entryIndex == frame.listing.size()) {
            leave();
            continue;
        }
        const std::size_t index = frame.entryIndex++;
        if (entersFolder(frame, index) && !enterSubFolder(m_frames.size() - 1, index)) {
            --m_frames.back().entryIndex; // tried again at the next call
            return EventType::OutOfDescriptors;
        }
        return EventType::SubFolderEntry;
    }
}

bool FolderWalk::entersFolder(const Frame& frame, std::size_t index)
{
    const std::string_view name = frame.listing.name(index);
    if (frame.listing.kind(index) != EntryKind::Folder || name.front() == '.')
        return false;
    return !m_filter || m_filter->keepsFolder(belowRoot(frame), name);
}

// Advances to the folder's next file that matches the current pattern; false when the patterns are done.
bool FolderWalk::nextFile(Frame& frame)
{
    while (frame.patternIndex < m_patterns.size()) {
        while (frame.entryIndex < frame.listing.size()) {
            const std::size_t index = frame.entryIndex++;
            if (isCandidateFile(frame, index)) {
                m_name = frame.listing.name(index);
                return true;
            }
        }
        ++frame.patternIndex;
        frame.entryIndex = 0;
    }
    return false;
}

bool FolderWalk::isCandidateFile(const Frame& frame, std::size_t index)
{
    if (frame.listing.kind(index) != EntryKind::File)
        return false;
    const std::string_view name = frame.listing.name(index);
    if (name.front() == '.' && !m_includeHidden)
        return false;
    if (!matchesFilePattern(m_patterns[frame.patternIndex], name))
        return false;
    return !m_filter || m_filter->keepsFile(frame.directory->fd.get(), belowRoot(frame), name);
}

} // namespace vellick
