#include "support/temp_tree.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vellick::test {

TempTree::TempTree()
{
    std::string pattern = (fs::temp_directory_path() / "vellick-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_root = fs::canonical(pattern).string();
}

TempTree::~TempTree()
{
    std::error_code ignored;
    // Make every folder writable again first, so that tests may take rights away.
    for (auto it = fs::recursive_directory_iterator(m_root, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_root, ignored);
}

std::string TempTree::path(std::string_view relative) const
{
    return m_root + "/" + std::string(relative);
}

std::string TempTree::write(std::string_view relative, std::string_view content) const
{
    const std::string full = path(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream file(full, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::string TempTree::makeFolder(std::string_view relative) const
{
    const std::string full = path(relative);
    fs::create_directories(full);
    return full;
}

void TempTree::setModified(std::string_view relative, long long seconds) const
{
    const std::string full = path(relative);
    struct timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    utimensat(AT_FDCWD, full.c_str(), times, 0);
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace vellick::test
