#include "base/parent_directory.h"

#include <climits>

namespace vellick {

ParentDirectory::ParentDirectory(const std::string& path)
    : m_name(path)
{
    if (path.size() < PATH_MAX)
        return;
    const std::size_t lastSlash = path.rfind('/');
    if (lastSlash == std::string::npos || !openFolders(path, lastSlash))
        return;
    m_name = path.substr(lastSlash + 1);
}

// Opens the folders in front of the last slash one name at a time; false when one of them cannot be.
// O_PATH needs only the right to pass through a folder, as resolving the whole path would.
bool ParentDirectory::openFolders(const std::string& path, std::size_t lastSlash)
{
    constexpr int kFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    UniqueFd folder(::open(path.front() == '/' ? "/" : ".", kFlags));
    std::size_t begin = 0;
    while (folder.valid() && begin < lastSlash) {
        std::size_t end = path.find('/', begin);
        if (end > lastSlash)
            end = lastSlash;
        if (end > begin)
            folder = UniqueFd(::openat(folder.get(), path.substr(begin, end - begin).c_str(), kFlags));
        begin = end + 1;
    }
    if (!folder.valid())
        return false;
    m_fd = std::move(folder);
    return true;
}

std::string folderOfPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace vellick
