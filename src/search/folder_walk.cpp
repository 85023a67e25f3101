#include "search/folder_walk.h"

#include "search/file_patterns.h"

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
    enter(AT_FDCWD, rootPath, rootPath.c_str());
}

void FolderWalk::enter(int parentFd, const std::string& path, const char* openName)
{
    UniqueFd fd(::openat(parentFd, openName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return;
    Frame frame;
    frame.listing.read(fd.get());
    frame.directory = std::make_shared<const OpenDirectory>(OpenDirectory { std::move(fd), path });
    m_frames.push_back(std::move(frame));
    m_pendingEnter = true;
}

FolderWalk::EventType FolderWalk::next()
{
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
        if (frame.listing.kind(index) == EntryKind::Folder && name.front() != '.')
            enter(frame.directory->fd.get(), joinPath(frame.directory->path, name), name.data());
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
