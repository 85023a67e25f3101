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
    m_failed = false;
    struct stat status { };
    const bool special = ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
    return special ? openDevice(path) : m_replacement.open(path);
}

bool ReportFile::openDevice(const std::string& path)
{
    // Non-blocking open: a FIFO without a reader fails at once instead of hanging the program. No O_CREAT:
    // what is there now is not a regular file, and a file that appears meanwhile is not written this way.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || S_ISREG(status.st_mode))
        return false;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    m_inPlace = std::move(fd);
    return true;
}

void ReportFile::write(std::string_view bytes)
{
    if (m_failed || fd() < 0)
        return;
    m_buffer.append(bytes);
    if (m_buffer.size() >= kBufferLimit)
        m_failed = !flush();
}

bool ReportFile::flush()
{
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written = ::write(fd(), m_buffer.data() + done, m_buffer.size() - done);
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
    if (fd() < 0)
        return false;
    const bool written = !m_failed && flush();
    bool finished = false;
    if (m_replacement.active()) {
        finished = written && m_replacement.commit();
        m_replacement.discard(); // the temporary file, unless the commit took it
    } else {
        // The descriptor is gone after close() whatever it returns; a failure there can be a lost write.
        finished = ::close(m_inPlace.release()) == 0 && written;
    }
    m_buffer.clear();
    return finished;
}

void ReportFile::abandon()
{
    m_replacement.discard();
    m_inPlace.reset();
    m_buffer.clear();
}

} // namespace vellick
