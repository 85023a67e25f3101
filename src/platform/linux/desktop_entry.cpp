#include "platform/linux/desktop_entry.h"

#include "platform/linux/freedesktop_trash.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vellick {
namespace {

std::string unescapeString(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default: // a quoting escape: splitting the arguments takes it
            out += '\\';
            out += next;
            break;
        }
    }
    return out;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> applicationFolders()
{
    std::vector<std::string> folders;
    if (const std::string home = dataHomeFolder(); !home.empty())
        folders.push_back(home + "/applications");
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string_view list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const std::string_view folder = list.substr(0, colon); !folder.empty())
            folders.push_back(std::string(folder) + "/applications");
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return folders;
}

} // namespace

std::vector<std::string> splitExecLine(std::string_view exec)
{
    const std::string text = unescapeString(exec);
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '\\' && i + 1 < text.size()) {
            current += text[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::optional<DesktopEntry> DesktopEntry::parse(std::string_view text, std::string filePath)
{
    DesktopEntry entry;
    entry.m_filePath = std::move(filePath);
    bool inMainGroup = false;
    std::istringstream lines { std::string(text) };
    for (std::string line; std::getline(lines, line);) {
        const std::string_view content = trimmed(line);
        if (!content.empty() && content.front() == '[') {
            inMainGroup = content == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = content.find('=');
        if (!inMainGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(content.substr(0, equals));
        const std::string_view value = trimmed(content.substr(equals + 1));
        if (key == "Exec" && entry.m_exec.empty())
            entry.m_exec = value;
        else if (key == "Name" && entry.m_name.empty())
            entry.m_name = value;
    }
    if (entry.m_exec.empty())
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::find(const std::string& desktopId)
{
    if (desktopId.empty() || desktopId.find('/') != std::string::npos)
        return std::nullopt;
    for (const std::string& folder : applicationFolders()) {
        const std::string path = folder + "/" + desktopId;
        std::ifstream file(path, std::ios::binary);
        if (!file)
            continue;
        std::ostringstream text;
        text << file.rdbuf();
        if (auto entry = parse(text.str(), path))
            return entry;
    }
    return std::nullopt;
}

std::vector<std::string> DesktopEntry::commandFor(const std::string& path) const
{
    std::vector<std::string> command;
    bool fileGiven = false;
    for (const std::string& argument : splitExecLine(m_exec)) {
        std::string expanded;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                expanded += argument[i];
                continue;
            }
            const char code = argument[++i];
            if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                expanded += path;
                fileGiven = true;
            } else if (code == '%') {
                expanded += '%';
            } else if (code == 'k') {
                expanded += m_filePath;
            } else if (code == 'c') {
                expanded += m_name;
            }
        }
        if (!expanded.empty())
            command.push_back(std::move(expanded));
    }
    if (!fileGiven && !command.empty())
        command.push_back(path);
    return command;
}

} // namespace vellick
