// Searching inside documents and archives: FileScanner reads the text or the members that the container
// reader delivers and scans each as a file of its own, by the very rules of a file on disk.
#include "search/file_scanner.h"

#include <array>
#include <unistd.h>

namespace vellick {

namespace {
// Enough of a file's start for every signature the container reader knows (a tar's is at 257).
constexpr std::size_t kHeadBytes = 512;
} // namespace

std::string_view FileScanner::baseName(const char* name)
{
    const std::string_view path(name);
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

ContainerKind FileScanner::containerKindAt(int fd, const char* name)
{
    std::array<unsigned char, kHeadBytes> head {};
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    if (got <= 0)
        return ContainerKind::None;
    return containerKindOf(baseName(name), std::span(head.data(), static_cast<std::size_t>(got)));
}

void FileScanner::scanInsideContainer(int fd, ContainerKind kind, ScanResult& result)
{
    // The container's own status, taken before the scans of its members take theirs.
    if (!m_statusTaken && !takeStatus(fd))
        return;
    const FileStatus containerStatus = m_status;
    ContainerHits& container = result.container;
    container.kind = kind;
    readContainer(
        fd, kind, ContainerLimits {}, m_cancel[0],
        [&](const ContainerMember& member) { return scanMember(member, result); }, container.notices);
    m_status = containerStatus;
    m_statusTaken = true;
    m_notRegular = false;
    result.found = !container.found.empty();
}

// Scans one member (or a document's text); false once the search no longer wants the rest.
bool FileScanner::scanMember(const ContainerMember& member, ScanResult& result)
{
    if (cancelled())
        return false;
    m_memberResult.reset();
    scanOpen(member.fd, FileSystemKind::Unknown, m_memberResult);
    ++result.container.checked;
    if (m_memberResult.found && !cancelled()) {
        MemberHits& found = result.container.found.emplace_back();
        found.path = member.path;
        found.kind = m_memberResult.kind;
        found.status = { member.size, member.modified, 0 };
        found.cutAtLimit = member.cutAtLimit;
        found.hits = std::move(m_memberResult.hits);
    }
    return !cancelled();
}

} // namespace vellick
