#include "documents/memory_file.h"

#include <algorithm>
#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace vellick {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

bool writeAllAt(int fd, const char* data, std::size_t size, uint64_t offset)
{
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= static_cast<std::size_t>(done);
        offset += static_cast<uint64_t>(done);
    }
    return true;
}

} // namespace

std::optional<UniqueFd> createMemoryFile()
{
    const int fd = ::memfd_create("vellick-member", MFD_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return UniqueFd(fd);
}

MemoryFileWriter::MemoryFileWriter(uint64_t limit)
    : m_limit(limit)
{
    if (auto fd = createMemoryFile())
        m_fd = std::move(*fd);
    else
        m_failed = true;
}

bool MemoryFileWriter::flush()
{
    if (m_failed)
        return false;
    if (!m_buffer.empty() && !writeAllAt(m_fd.get(), m_buffer.data(), m_buffer.size(), m_bufferStart))
        m_failed = true;
    m_bufferStart += m_buffer.size();
    m_buffer.clear();
    return !m_failed;
}

bool MemoryFileWriter::append(std::string_view bytes)
{
    return writeAt(m_size, bytes);
}

bool MemoryFileWriter::writeAt(uint64_t offset, std::string_view bytes)
{
    if (m_failed || m_cut)
        return false;
    if (offset >= m_limit) {
        m_cut = !bytes.empty();
        return bytes.empty();
    }
    if (bytes.size() > m_limit - offset) {
        bytes = bytes.substr(0, static_cast<std::size_t>(m_limit - offset));
        m_cut = true;
    }
    if (offset != m_bufferStart + m_buffer.size()) {
        if (!flush())
            return false;
        m_bufferStart = offset;
    }
    while (!bytes.empty()) {
        const std::size_t room = kBlockSize - m_buffer.size();
        const std::size_t take = std::min(room, bytes.size());
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        bytes.remove_prefix(take);
        if (m_buffer.size() == kBlockSize && !flush())
            return false;
    }
    m_size = std::max(m_size, m_bufferStart + m_buffer.size());
    return !m_cut;
}

void MemoryFileWriter::extendTo(uint64_t length)
{
    if (m_failed)
        return;
    if (length > m_limit) {
        length = m_limit;
        m_cut = true;
    }
    if (length <= m_size)
        return;
    if (flush() && ::ftruncate(m_fd.get(), static_cast<off_t>(length)) != 0)
        m_failed = true;
    m_size = length;
}

std::optional<UniqueFd> MemoryFileWriter::take()
{
    if (!flush())
        return std::nullopt;
    return std::move(m_fd);
}

} // namespace vellick
