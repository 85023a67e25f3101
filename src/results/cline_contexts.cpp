// The surrounding-text loader of CLine: re-reads a window of the file around every hit.
#include "base/parent_directory.h"
#include "base/unique_fd.h"
#include "results/cline.h"
#include "results/context_window.h"
#include "results/extracted_text.h"
#include "results/message_sink.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace vellick {

namespace {

std::string cannotAccessText(const std::string& path)
{
    return "Can not access file \"" + path + "\".";
}

std::string modifiedSinceSearchText(const std::string& path)
{
    return "File \"" + path
        + "\" has been modified since last searching.\nSearch results can not be shown. You may search it again.";
}

// Only a regular file is read: whatever else took the path's place (a FIFO, a device) could block or
// never end. Its status is read again from the open file, which may not be the one looked at before.
UniqueFd openRegularFile(const ParentDirectory& parent, struct stat& status)
{
    UniqueFd fd(::openat(parent.fd(), parent.name(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.valid() && (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        fd.reset();
    return fd;
}

// Whole seconds would miss a file rewritten within the second it was searched in. A record inside a
// document or an archive is checked against the time its container had.
bool modifiedSince(const struct stat& status, const CLine& line)
{
    const int64_t seconds = line.inside ? line.inside->containerStatus.modified : line.modified;
    const int32_t nanoseconds
        = line.inside ? line.inside->containerStatus.modifiedNanoseconds : line.modifiedNanoseconds;
    return static_cast<int64_t>(status.st_mtim.tv_sec) != seconds
        || static_cast<int32_t>(status.st_mtim.tv_nsec) != nanoseconds;
}

// Every hit's context, in hit order; nothing when the file now ends at or before a hit.
std::optional<std::vector<HitText>> readContexts(const CLine& line, int fd)
{
    std::vector<HitText> texts;
    texts.reserve(line.hitCount());
    std::array<char, kContextWindowSize> buffer {};
    std::size_t bytesRead = 0;
    uint64_t filePosition = 0; // just past the last read
    for (std::size_t i = 0; i < line.hitCount(); ++i) {
        const uint64_t offset = line.hit(i).offset;
        const std::size_t before = static_cast<std::size_t>(std::min<uint64_t>(offset, kContextLead));
        const uint64_t windowStart = offset - before;
        // With ascending hits the first two tests hold only when the last read started at this window;
        // the third keeps a list in any other order from indexing past the bytes read.
        const bool reuse = offset + kContextLead <= filePosition && windowStart + kContextWindowSize >= filePosition
            && windowStart == filePosition - bytesRead;
        if (!reuse) {
            if (::lseek(fd, static_cast<off_t>(windowStart), SEEK_SET) < 0)
                return std::nullopt;
            bytesRead = readFully(fd, reinterpret_cast<unsigned char*>(buffer.data()), buffer.size());
            filePosition = windowStart + bytesRead;
            if (bytesRead <= before)
                return std::nullopt;
        }
        HitContext context = cutContext(std::string_view(buffer.data(), bytesRead), before, line.hit(i).length);
        texts.push_back({ std::move(context.text), context.position });
    }
    return texts;
}

} // namespace

bool CLine::LoadContexts(MessageSink& messages)
{
    if (m_contextState == ContextState::Loaded)
        return true;
    if (m_contextState == ContextState::Refused)
        return false;
    const ParentDirectory parent(path); // the path may be longer than PATH_MAX
    const std::string shown = shownPath();
    struct stat status { };
    if (::fstatat(parent.fd(), parent.name(), &status, 0) != 0)
        return refuseContexts(messages, cannotAccessText(shown));
    if (modifiedSince(status, *this))
        return refuseContexts(messages, modifiedSinceSearchText(shown));
    const UniqueFd fd = openRegularFile(parent, status);
    if (!fd.valid())
        return false;
    // Written or replaced after the look above, or while being read: the text may not be the searched one.
    if (modifiedSince(status, *this))
        return refuseContexts(messages, modifiedSinceSearchText(shown));
    std::optional<std::vector<HitText>> texts;
    if (inside) {
        // The container is the searched one, so its text is too: one that cannot be had again never will.
        const std::optional<UniqueFd> text = extractedText(fd.get(), *this);
        if (!text)
            return refuseContexts(messages, cannotAccessText(shown));
        texts = readContexts(*this, text->get());
    } else {
        texts = readContexts(*this, fd.get());
    }
    if (::fstat(fd.get(), &status) != 0 || modifiedSince(status, *this))
        return refuseContexts(messages, modifiedSinceSearchText(shown));
    if (!texts)
        return false;
    setContexts(std::move(*texts));
    return true;
}

bool CLine::refuseContexts(MessageSink& messages, const std::string& text)
{
    for (HitEntry& hit : m_hits)
        std::string().swap(hit.context);
    m_contextState = ContextState::Refused;
    messages.showMessage(text);
    return false;
}

} // namespace vellick
