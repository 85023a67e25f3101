#include "platform/linux/mime_lookup.h"

#include <QFile>
#include <QMimeDatabase>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {
namespace {

// The file opened for reading its first bytes; not open when it is not a regular file.
bool openRegularFile(const std::string& path, QFile& file)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// A found file whose bytes are read only if the database asks for them: most names tell the type alone,
// and a lookup of every found file then costs no open, status call or read. The file is opened at the
// first read; failed() tells when that found no regular file to read.
class FileOpenedOnRead : public QIODevice {
public:
    explicit FileOpenedOnRead(const std::string& path)
        : m_path(path)
    {
        QIODevice::open(QIODevice::ReadOnly);
    }

    bool failed() const { return m_tried && !m_file.isOpen(); }
    // Read front to back: the database peeks at the first block and never seeks.
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (!m_tried) {
            m_tried = true;
            openRegularFile(m_path, m_file);
        }
        return m_file.isOpen() ? m_file.read(data, maxSize) : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const std::string& m_path;
    QFile m_file;
    bool m_tried = false;
};

} // namespace

QMimeType mimeTypeOfFile(const std::string& path)
{
    static const QMimeDatabase database;
    const QString name = QFile::decodeName(QByteArray::fromRawData(path.data(), static_cast<qsizetype>(path.size())));
    FileOpenedOnRead file(path);
    const QMimeType type = database.mimeTypeForFileNameAndData(name, &file);
    // What cannot be read (gone, not a regular file, a member below an archive's path) is typed by its name.
    return file.failed() ? database.mimeTypeForFile(name, QMimeDatabase::MatchExtension) : type;
}

} // namespace vellick
