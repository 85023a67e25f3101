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

void FolderWalk::start(const std::string& rootPath)
{
    m_frames.clear();
    m_rootPath = rootPath;
    m_rootBlocked = !enter(AT_FDCWD, rootPath, rootPath.c_str());
}

void FolderWalk::passOverBlocked()
{
    if (m_rootBlocked)
        m_rootBlocked = false;
    else if (!m_frames.empty())
        ++m_frames.back().entryIndex;
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
    if (!enter(directory->fd.get(), joinPath(frame.path, name), name.data()))
        return false;
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
    if (m_rootBlocked) {
        m_rootBlocked = !enter(AT_FDCWD, m_rootPath, m_rootPath.c_str());
        if (m_rootBlocked)
            return EventType::OutOfDescriptors;
    }
    while (!m_frames.empty()) {
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
                m_frames.pop_back();
                continue;
            }
        }
        if (frame.entryIndex == frame.listing.size()) {
            m_frames.pop_back();
            continue;
        }
        const std::size_t index = frame.entryIndex++;
        const std::string_view name = frame.listing.name(index);
        if (frame.listing.kind(index) == EntryKind::Folder && name.front() != '.'
            && !enterSubFolder(m_frames.size() - 1, index)) {
            --m_frames.back().entryIndex; // tried again at the next call
            return EventType::OutOfDescriptors;
        }
        return EventType::SubFolderEntry;
    }
    return EventType::Done;
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

bool FolderWalk::isCandidateFile(const Frame& frame, std::size_t index) const
{
    if (frame.listing.kind(index) != EntryKind::File)
        return false;
    const std::string_view name = frame.listing.name(index);
    if (name.front() == '.' && !m_includeHidden)
        return false;
    return matchesFilePattern(m_patterns[frame.patternIndex], name);
}

} // namespace vellick
