#include "cli/output_writer.h"

#include <cerrno>
#include <unistd.h>

namespace vellick {

OutputWriter::OutputWriter(int fd)
    : m_fd(fd)
{
}

OutputWriter::~OutputWriter()
{
    flush();
}

void OutputWriter::write(std::string_view text)
{
    if (ended())
        return;
    m_buffer.append(text);
    if (m_buffer.size() >= kFlushSize)
        flush();
}

bool OutputWriter::flush()
{
    std::size_t done = 0;
    while (!ended() && done < m_buffer.size()) {
        const ssize_t written = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EPIPE) {
            m_readerGone = true;
        } else if (written < 0 && errno != EINTR) {
            m_error = errno;
        } else if (written == 0) {
            m_error = EIO;
        }
    }
    m_buffer.clear();
    return !ended();
}

} // namespace vellick
