#include "support/scratch_folder.h"

#include "support/fuzz_check.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace vellick::fuzz {

namespace {

// The folder lives as long as the process: made on first use, removed by the destructor at exit.
class Folder {
public:
    Folder()
    {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/vellick-fuzz-XXXXXX";
        fuzzCheck(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        m_path = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

const std::string& ScratchFolder::path()
{
    static const Folder folder;
    return folder.path();
}

std::string ScratchFolder::write(std::string_view name, std::string_view content)
{
    const std::string file = path() + "/" + std::string(name);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    fuzzCheck(fd >= 0, "a scratch file can be written");
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        fuzzCheck(written > 0, "a scratch file can be written");
        done += static_cast<std::size_t>(written);
    }
    ::close(fd);
    return file;
}

std::string readWhole(const std::string& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return content;
}

} // namespace vellick::fuzz
