#include "results/extracted_text.h"

#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>

namespace vellick {

namespace {

struct KeptText {
    std::string path;
    std::string member;
    ContainerKind kind = ContainerKind::None;
    int64_t modified = 0;
    int32_t modifiedNanoseconds = 0;
    UniqueFd text;

    bool holds(const CLine& line) const
    {
        return text.valid() && path == line.path && member == line.inside->member && kind == line.inside->kind
            && modified == line.inside->containerStatus.modified
            && modifiedNanoseconds == line.inside->containerStatus.modifiedNanoseconds;
    }
};

std::mutex g_keptMutex;
KeptText g_kept; // guarded by g_keptMutex

std::optional<UniqueFd> duplicate(const UniqueFd& fd)
{
    UniqueFd copy(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
    if (!copy.valid())
        return std::nullopt;
    return copy;
}

} // namespace

std::optional<UniqueFd> extractedText(int containerFd, const CLine& line)
{
    if (!line.inside)
        return std::nullopt;
    const std::lock_guard lock(g_keptMutex);
    if (g_kept.holds(line))
        return duplicate(g_kept.text);
    std::optional<UniqueFd> text = extractMember(containerFd, line.inside->kind, line.inside->member, {});
    struct stat status { };
    if (!text || ::fstat(text->get(), &status) != 0 || static_cast<uint64_t>(status.st_size) > kKeptExtractBytes)
        return text;
    std::optional<UniqueFd> copy = duplicate(*text);
    if (!copy)
        return text;
    const FileStatus& container = line.inside->containerStatus;
    g_kept = { line.path, line.inside->member, line.inside->kind, container.modified, container.modifiedNanoseconds,
        std::move(*copy) };
    return text;
}

void forgetExtractedText()
{
    const std::lock_guard lock(g_keptMutex);
    g_kept = {};
}

} // namespace vellick
