#pragma once

#include "base/unique_fd.h"

#include <fcntl.h>
#include <string>

namespace vellick {

// The folder a path's last name lies in, ready for the *at() calls, so that a found file can be opened
// and its status read whatever the length of its path. The walk reaches folders deeper than PATH_MAX
// through open descriptors; their files' full paths are then too long to hand to the system whole
// (ENAMETOOLONG), so such a path's folders are opened one name at a time. A path shorter than PATH_MAX
// is used as it is, relative to the current directory. Users: the re-check of listed files, the
// surrounding-text loader and the document's status reads.
class ParentDirectory {
public:
    explicit ParentDirectory(const std::string& path);

    // The descriptor to pass to the *at() calls: AT_FDCWD or the opened folder.
    int fd() const { return m_fd.valid() ? m_fd.get() : AT_FDCWD; }
    // The name to pass with fd(): the whole path, or its last name. When a folder on the way cannot be
    // opened this is the whole path, so that the call fails with the system's own error.
    const char* name() const { return m_name.c_str(); }

private:
    bool openFolders(const std::string& path, std::size_t lastSlash);

    UniqueFd m_fd;
    std::string m_name;
};

// The folder part of a path: "" for a bare name, "/" for a name in the root.
std::string folderOfPath(const std::string& path);

} // namespace vellick
