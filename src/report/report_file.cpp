#include "report/report_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace vellick {

ReportFile::~ReportFile()
{
    abandon();
}

bool ReportFile::create(const std::string& path)
{
    abandon();
    // Non-blocking open: a FIFO without a reader fails at once instead of hanging the program.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0)
        return false;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    m_fd = std::move(fd);
    m_path = path;
    m_regular = S_ISREG(status.st_mode);
    m_failed = false;
    m_buffer.clear();
    return true;
}

void ReportFile::write(std::string_view bytes)
{
    if (m_failed || !m_fd.valid())
        return;
    m_buffer.append(bytes);
    if (m_buffer.size() >= kBufferLimit)
        m_failed = !flush();
}

bool ReportFile::flush()
{
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written = ::write(m_fd.get(), m_buffer.data() + done, m_buffer.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    m_buffer.clear();
    return true;
}

bool ReportFile::finish()
{
    if (!m_fd.valid())
        return false;
    bool ok = !m_failed && flush();
    // The descriptor is gone after close() whatever it returns; a failure there can be a lost write.
    ok = ::close(m_fd.release()) == 0 && ok;
    if (!ok && m_regular)
        ::unlink(m_path.c_str());
    m_path.clear();
    m_buffer.clear();
    return ok;
}

void ReportFile::abandon()
{
    if (!m_fd.valid())
        return;
    m_fd.reset();
    if (m_regular)
        ::unlink(m_path.c_str());
    m_path.clear();
    m_buffer.clear();
}

} // namespace vellick
