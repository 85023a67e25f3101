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

} // namespace

std::string settingsFilePathFor(std::string_view xdgConfigHome, std::string_view home)
{
    // The base-directory rules say a relative XDG_CONFIG_HOME is to be ignored.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/')
        return std::string(xdgConfigHome) + "/vellick/vellick.ini";
    if (home.empty() || home.front() != '/')
        return {};
    return std::string(home) + "/.config/vellick/vellick.ini";
}

std::string settingsFilePath()
{
    std::string home(environment("HOME"));
    if (home.empty())
        home = homeFromPasswordDatabase();
    return settingsFilePathFor(environment("XDG_CONFIG_HOME"), home);
}

} // namespace vellick
