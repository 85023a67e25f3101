#include "settings/settings_location.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace vellick {

namespace {

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

std::string homeFromPasswordDatabase()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !entry.pw_dir)
        return {};
    return entry.pw_dir;
}

// A file of the program under an XDG base folder, or under its default below the home folder.
std::string programFilePath(
    std::string_view xdgFolder, std::string_view home, std::string_view homeDefault, std::string_view fileName)
{
    // The base-directory rules say a relative XDG folder is to be ignored.
    if (!xdgFolder.empty() && xdgFolder.front() == '/')
        return std::string(xdgFolder) + "/vellick/" + std::string(fileName);
    if (home.empty() || home.front() != '/')
        return {};
    return std::string(home) + "/" + std::string(homeDefault) + "/vellick/" + std::string(fileName);
}

std::string homeFolder()
{
    std::string home(environment("HOME"));
    if (home.empty())
        home = homeFromPasswordDatabase();
    return home;
}

} // namespace

std::string settingsFilePathFor(std::string_view xdgConfigHome, std::string_view home)
{
    return programFilePath(xdgConfigHome, home, ".config", "vellick.ini");
}

std::string settingsFilePath()
{
    return settingsFilePathFor(environment("XDG_CONFIG_HOME"), homeFolder());
}

std::string printReportFilePathFor(std::string_view xdgCacheHome, std::string_view home)
{
    return programFilePath(xdgCacheHome, home, ".cache", "printresult.wri");
}

std::string printReportFilePath()
{
    return printReportFilePathFor(environment("XDG_CACHE_HOME"), homeFolder());
}

} // namespace vellick
