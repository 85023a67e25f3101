// The surrounding-text loader of CLine: re-reads a window of the file around every hit.
#include "results/cline.h"
#include "results/context_window.h"
#include "results/message_sink.h"
#include "search/unique_fd.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
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
// never end.
UniqueFd openRegularFile(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status { };
    if (fd.valid() && (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        fd.reset();
    return fd;
}

// Fills every hit's context; false when the file now ends at or before a hit.
bool readContexts(CLine& line, int fd)
{
    std::array<char, kContextWindowSize> buffer {};
    std::size_t bytesRead = 0;
    uint64_t filePosition = 0; // just past the last read
    for (std::size_t i = 0; i < line.hitCount(); ++i) {
        const uint64_t offset = line.hitOffsets[i];
        const std::size_t before = static_cast<std::size_t>(std::min<uint64_t>(offset, kContextLead));
        const uint64_t windowStart = offset - before;
        // With ascending hits the first two tests hold only when the last read started at this window;
        // the third keeps a list in any other order from indexing past the bytes read.
        const bool reuse = offset + kContextLead <= filePosition && windowStart + kContextWindowSize >= filePosition
            && windowStart == filePosition - bytesRead;
        if (!reuse) {
            if (::lseek(fd, static_cast<off_t>(windowStart), SEEK_SET) < 0)
                return false;
            bytesRead = readFully(fd, reinterpret_cast<unsigned char*>(buffer.data()), buffer.size());
            filePosition = windowStart + bytesRead;
            if (bytesRead <= before)
                return false;
        }
        HitContext context = cutContext(std::string_view(buffer.data(), bytesRead), before, line.hitLengths[i]);
        line.contexts[i] = std::move(context.text);
        line.contextPositions[i] = context.position;
    }
    return true;
}

} // namespace

bool CLine::LoadContexts(MessageSink& messages)
{
    if (contextState == ContextsLoaded)
        return true;
    if (contextState == ContextsRefused)
        return false;
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0) {
        contextState = ContextsRefused;
        messages.showMessage(cannotAccessText(path));
        return false;
    }
    if (static_cast<int64_t>(status.st_mtime) != modified) {
        contextState = ContextsRefused;
        messages.showMessage(modifiedSinceSearchText(path));
        return false;
    }
    const UniqueFd fd = openRegularFile(path);
    if (!fd.valid() || !readContexts(*this, fd.get()))
        return false;
    contextState = ContextsLoaded;
    return true;
}

} // namespace vellick
