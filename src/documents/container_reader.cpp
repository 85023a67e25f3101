#include "documents/container_reader.h"

#include "documents/archive_handle.h"
#include "documents/document_text.h"
#include "documents/member_copy.h"

#include <archive_entry.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

constexpr int kMaxFailedHeaders = 16;
constexpr std::size_t kHeadSize = 4096; // enough for a tar header and a PDF's displaced header

std::string joinPath(std::string_view outer, std::string_view inner)
{
    if (outer.empty())
        return std::string(inner);
    if (inner.empty())
        return std::string(outer);
    std::string path(outer);
    path += kMemberSeparator;
    path += inner;
    return path;
}

std::string_view baseName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The name a member is listed under: as stored, with a leading "./" (common in tar files) dropped; nothing
// for a member without a name. Names
// such as "../x" or "/etc/x" stay as they are: they are only ever shown, never used to write anywhere.
std::optional<std::string> memberName(archive_entry* entry)
{
    const char* name = archive_entry_pathname(entry);
    if (!name)
        name = archive_entry_pathname_utf8(entry);
    if (!name)
        return std::nullopt;
    std::string_view view(name);
    while (view.starts_with("./"))
        view.remove_prefix(2);
    // An empty path stands for the container's own content, so a member without a name cannot be named.
    if (view.empty())
        return std::nullopt;
    return std::string(view);
}

ContainerKind kindOfMember(int fd, std::string_view name)
{
    unsigned char head[kHeadSize];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    return containerKindOf(name, std::span<const unsigned char>(head, got > 0 ? static_cast<std::size_t>(got) : 0));
}

// What the walk looks for when it extracts one member again instead of reading them all.
struct Target {
    std::string_view path;
    MemberContent content;
};

// Reads a container and the containers inside it, depth first, in archive order.
class ContainerWalk {
public:
    ContainerWalk(const ContainerLimits& limits, const std::atomic<bool>* cancel,
        const std::function<bool(const ContainerMember&)>& onMember, std::vector<ContainerNotice>& notices,
        std::optional<Target> target = std::nullopt)
        : m_limits(limits)
        , m_cancel(cancel)
        , m_onMember(onMember)
        , m_notices(notices)
        , m_target(target)
    {
    }

    // False once the walk is to stop (the callback said so, or cancelled).
    bool walk(int fd, ContainerKind kind, int depth, const ContainerMember& self)
    {
        switch (kind) {
        case ContainerKind::Archive:
            return walkArchive(fd, ArchiveFormats::Archives, depth, self);
        case ContainerKind::Compressed:
            return walkArchive(fd, ArchiveFormats::TarOrRaw, depth, self);
        case ContainerKind::OfficeDocument:
        case ContainerKind::Pdf:
            return walkDocument(fd, kind, depth, self);
        case ContainerKind::None:
            break;
        }
        return true;
    }

private:
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    void notice(std::string_view path, ContainerProblem problem)
    {
        m_notices.push_back({ std::string(path), problem });
    }

    bool wanted(std::string_view path) const
    {
        // An empty path is the container's own content (a compressed file's), which holds every member.
        if (!m_target || path.empty())
            return true;
        return m_target->path == path
            || (m_target->path.starts_with(path) && m_target->path.substr(path.size()).starts_with(kMemberSeparator));
    }

    bool walkDocument(int fd, ContainerKind kind, int depth, const ContainerMember& self)
    {
        DocumentText document = kind == ContainerKind::Pdf ? pdfDocumentText(fd, m_limits, m_cancel)
                                                           : officeDocumentText(fd, m_limits, m_cancel);
        if (document.notADocument)
            return walkArchive(fd, ArchiveFormats::Archives, depth, self);
        if (cancelled())
            return false;
        if (document.encrypted)
            notice(self.path, ContainerProblem::Encrypted);
        if (document.damaged)
            notice(self.path, ContainerProblem::Damaged);
        if (document.cutAtLimit)
            notice(self.path, ContainerProblem::CutAtLimit);
        if (!document.text)
            return true;
        ContainerMember text = self;
        text.cutAtLimit = self.cutAtLimit || document.cutAtLimit;
        text.fd = document.text->get();
        return m_onMember(text);
    }

    bool walkArchive(int fd, ArchiveFormats formats, int depth, const ContainerMember& self)
    {
        ArchiveHandle handle(fd, formats);
        if (!handle.opened()) {
            notice(self.path, ContainerProblem::Damaged);
            return true;
        }
        archive_entry* entry = nullptr;
        int failedHeaders = 0;
        for (;;) {
            const int status = archive_read_next_header(handle.get(), &entry);
            if (status == ARCHIVE_EOF)
                return true;
            if (cancelled())
                return false;
            // A header that cannot be read may be followed by good ones, but junk can hold a great many of
            // them: past a few, the rest of the container is passed over. One notice says it is damaged.
            if (status == ARCHIVE_RETRY || status == ARCHIVE_FAILED) {
                if (failedHeaders++ == 0)
                    notice(self.path, ContainerProblem::Damaged);
                if (failedHeaders < kMaxFailedHeaders)
                    continue;
                return true;
            }
            if (status < ARCHIVE_WARN) {
                const bool encrypted = archive_read_has_encrypted_entries(handle.get()) > 0;
                if (encrypted || failedHeaders == 0)
                    notice(self.path, encrypted ? ContainerProblem::Encrypted : ContainerProblem::Damaged);
                return true;
            }
            if (!walkEntry(handle, entry, depth, self))
                return false;
        }
    }

    bool walkEntry(ArchiveHandle& handle, archive_entry* entry, int depth, const ContainerMember& self)
    {
        if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry))
            return true;
        const std::optional<std::string> name = handle.isRaw() ? std::string() : memberName(entry);
        if (!name) {
            notice(self.path, ContainerProblem::Unreadable);
            return true;
        }
        ContainerMember member;
        member.path = joinPath(self.path, *name);
        if (!wanted(member.path)) {
            // Read, not skipped: in a damaged archive, where libarchive finds the next member can depend on
            // whether the data before it was read or skipped, and this must find what readContainer found.
            if (!archive_entry_is_data_encrypted(entry))
                copyMember(handle, 0, m_limits, m_cancel);
            return true;
        }
        if (archive_entry_is_data_encrypted(entry)) {
            notice(member.path, ContainerProblem::Encrypted);
            return true;
        }
        const int64_t declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
        MemberCopy copy = copyMember(handle, declared, m_limits, m_cancel);
        if (cancelled())
            return false;
        if (!copy.fd) {
            notice(member.path, ContainerProblem::Unreadable);
            return true;
        }
        if (copy.damaged)
            notice(member.path, ContainerProblem::Damaged);
        if (copy.cutAtLimit)
            notice(member.path, ContainerProblem::CutAtLimit);
        member.size = handle.isRaw() ? self.size : declared;
        member.modified
            = handle.isRaw() || !archive_entry_mtime_is_set(entry) ? self.modified : archive_entry_mtime(entry);
        member.cutAtLimit = copy.cutAtLimit;
        member.fd = copy.fd->get();
        return deliver(member, depth, handle.isRaw() ? baseName(self.path) : baseName(*name));
    }

    bool deliver(const ContainerMember& member, int depth, std::string_view name)
    {
        if (m_target && m_target->content == MemberContent::Stored && m_target->path == member.path)
            return m_onMember(member);
        const ContainerKind inner = kindOfMember(member.fd, name);
        if (inner == ContainerKind::None)
            return m_onMember(member);
        if (depth >= m_limits.maxDepth) {
            notice(member.path, ContainerProblem::TooDeep);
            return true;
        }
        return walk(member.fd, inner, depth + 1, member);
    }

    const ContainerLimits& m_limits;
    const std::atomic<bool>* m_cancel;
    const std::function<bool(const ContainerMember&)>& m_onMember;
    std::vector<ContainerNotice>& m_notices;
    std::optional<Target> m_target;
};

ContainerMember containerItself(int fd)
{
    ContainerMember self;
    struct stat info { };
    if (::fstat(fd, &info) == 0) {
        self.size = info.st_size;
        self.modified = info.st_mtim.tv_sec;
    }
    return self;
}

} // namespace

void readContainer(int fd, ContainerKind kind, const ContainerLimits& limits, const std::atomic<bool>* cancel,
    const std::function<bool(const ContainerMember&)>& onMember, std::vector<ContainerNotice>& notices)
{
    ContainerWalk(limits, cancel, onMember, notices).walk(fd, kind, 1, containerItself(fd));
}

std::optional<UniqueFd> extractMember(
    int fd, ContainerKind kind, std::string_view memberPath, const ContainerLimits& limits, MemberContent content)
{
    if (content == MemberContent::Stored && memberPath.empty())
        return std::nullopt;
    std::optional<UniqueFd> found;
    const std::function<bool(const ContainerMember&)> keep = [&](const ContainerMember& member) {
        if (member.path != memberPath)
            return true;
        const int copy = ::dup(member.fd);
        if (copy >= 0) {
            ::lseek(copy, 0, SEEK_SET);
            found.emplace(copy);
        }
        return false;
    };
    std::vector<ContainerNotice> notices;
    ContainerWalk(limits, nullptr, keep, notices, Target { memberPath, content })
        .walk(fd, kind, 1, containerItself(fd));
    return found;
}

} // namespace vellick
