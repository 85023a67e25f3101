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

} // namespace

QMimeType mimeTypeOfFile(const std::string& path)
{
    static const QMimeDatabase database;
    const QString name = QFile::decodeName(QByteArray::fromRawData(path.data(), static_cast<qsizetype>(path.size())));
    QFile file;
    if (!openRegularFile(path, file))
        return database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return database.mimeTypeForFileNameAndData(name, &file);
}

} // namespace vellick
