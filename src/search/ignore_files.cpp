#include "search/ignore_files.h"

#include "base/unique_fd.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace vellick {

namespace {

std::string readSmallFile(int folderFd, const char* name)
{
    const UniqueFd fd(::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status { };
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)
        || static_cast<uint64_t>(status.st_size) > kMaxIgnoreFileSize)
        return {};
    std::string content(static_cast<std::size_t>(status.st_size), '\0');
    content.resize(readFully(fd.get(), reinterpret_cast<unsigned char*>(content.data()), content.size()));
    return content;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string userConfigFolder()
{
    const std::string xdg = environment("XDG_CONFIG_HOME");
    if (!xdg.empty())
        return xdg;
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : home + "/.config";
}

std::string_view trimmedValue(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// core.excludesFile in one git configuration file, if it sets it.
std::string excludesFileSetting(const std::string& configPath)
{
    const std::string content = readSmallFile(AT_FDCWD, configPath.c_str());
    std::string_view rest = content;
    std::string found;
    bool inCore = false;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = trimmedValue(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            inCore = close != std::string_view::npos
                && equalsIgnoringCase(trimmedValue(line.substr(1, close - 1)), "core");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inCore && equals != std::string_view::npos
            && equalsIgnoringCase(trimmedValue(line.substr(0, equals)), "excludesfile"))
            found = std::string(trimmedValue(line.substr(equals + 1)));
    }
    if (found.starts_with("~/"))
        found = environment("HOME") + found.substr(1);
    return found;
}

// The nearest folder from `folder` upward that holds ".git"; empty when there is none.
std::string repositoryTop(const std::string& folder)
{
    for (std::string candidate = folder;;) {
        struct stat status { };
        if (::stat((candidate == "/" ? std::string("/.git") : candidate + "/.git").c_str(), &status) == 0)
            return candidate;
        if (candidate == "/" || candidate.empty())
            return {};
        const std::size_t slash = candidate.rfind('/');
        candidate = slash == 0 ? "/" : candidate.substr(0, slash);
    }
}

std::string joined(const std::string& folder, std::string_view name)
{
    return folder == "/" ? "/" + std::string(name) : folder + "/" + std::string(name);
}

} // namespace

IgnoreRules readIgnoreFile(int folderFd, const char* name)
{
    return IgnoreRules(readSmallFile(folderFd, name));
}

std::string globalExcludesPath(const std::string& repositoryTop)
{
    const std::string configFolder = userConfigFolder();
    std::string path;
    std::vector<std::string> configs;
    if (!configFolder.empty())
        configs.push_back(configFolder + "/git/config");
    if (!environment("HOME").empty())
        configs.push_back(environment("HOME") + "/.gitconfig");
    if (!repositoryTop.empty())
        configs.push_back(joined(repositoryTop, ".git/config"));
    for (const std::string& config : configs) {
        std::string setting = excludesFileSetting(config);
        if (!setting.empty())
            path = std::move(setting);
    }
    if (path.empty() && !configFolder.empty())
        path = configFolder + "/git/ignore";
    return path;
}

IgnoreSetup prepareIgnoreSetup(const std::string& startFolder)
{
    IgnoreSetup setup;
    const std::string top = repositoryTop(startFolder);
    if (top.empty()) {
        setup.stack.push("", readIgnoreFile(AT_FDCWD, joined(startFolder, ".gitignore").c_str()));
        return setup;
    }
    std::vector<IgnoreRules> fallbacks;
    fallbacks.push_back(readIgnoreFile(AT_FDCWD, joined(top, ".git/info/exclude").c_str()));
    const std::string global = globalExcludesPath(top);
    if (!global.empty())
        fallbacks.push_back(readIgnoreFile(AT_FDCWD, global.c_str()));
    setup.stack.setFallbacks(std::move(fallbacks));

    setup.startBelowTop = startFolder.size() > top.size() ? startFolder.substr(top == "/" ? 1 : top.size() + 1) : "";
    std::string below;
    std::string_view rest = setup.startBelowTop;
    for (;;) {
        setup.stack.push(
            below, readIgnoreFile(AT_FDCWD, joined(below.empty() ? top : joined(top, below), ".gitignore").c_str()));
        if (rest.empty())
            break;
        const std::size_t slash = rest.find('/');
        below += (below.empty() ? "" : "/") + std::string(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return setup;
}

} // namespace vellick
