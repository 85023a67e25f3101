#include "base/directory_listing.h"

#include "base/byte_compare.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

EntryKind kindOfMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    return S_ISREG(mode) ? EntryKind::File : EntryKind::Other;
}

// A link counts as a file when its target is a regular file; a link to a folder is never a folder.
EntryKind kindOfLink(int dirFd, const char* name)
{
    struct stat target { };
    if (::fstatat(dirFd, name, &target, 0) != 0)
        return EntryKind::Other;
    return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Other;
}

EntryKind kindOf(int dirFd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::File;
    case DT_LNK:
        return kindOfLink(dirFd, entry.d_name);
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat status { };
    if (::fstatat(dirFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    return S_ISLNK(status.st_mode) ? kindOfLink(dirFd, entry.d_name) : kindOfMode(status.st_mode);
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

bool DirectoryListing::read(int dirFd)
{
    m_names.clear();
    m_entries.clear();
    const int readFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readFd < 0)
        return false;
    DIR* dir = ::fdopendir(readFd);
    if (!dir) {
        ::close(readFd);
        return false;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        const std::string_view name(entry->d_name);
        m_entries.push_back(
            { static_cast<uint32_t>(m_names.size()), static_cast<uint32_t>(name.size()), kindOf(dirFd, *entry) });
        m_names.append(name);
        m_names.push_back('\0'); // so each name can be handed to the system as it is
    }
    ::closedir(dir);
    sortEntries();
    return true;
}

std::string_view DirectoryListing::name(std::size_t index) const
{
    const Entry& entry = m_entries[index];
    return std::string_view(m_names).substr(entry.offset, entry.length);
}

void DirectoryListing::sortEntries()
{
    const auto nameOf = [this](const Entry& e) { return std::string_view(m_names).substr(e.offset, e.length); };
    std::sort(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
        const int folded = compareBytes(nameOf(a), nameOf(b), true);
        return folded != 0 ? folded < 0 : compareBytes(nameOf(a), nameOf(b)) < 0;
    });
}

} // namespace vellick
