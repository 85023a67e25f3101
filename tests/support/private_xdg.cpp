#include "support/private_xdg.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vellick::test {
namespace {

constexpr const char* kUnset = "\x01";
constexpr const char* kNames[] = { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME" };

} // namespace

PrivateXdg::PrivateXdg()
{
    for (const char* name : kNames) {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? value : kUnset);
    }
    ::setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", cacheHome().c_str(), 1);
}

PrivateXdg::~PrivateXdg()
{
    for (const auto& [name, value] : m_saved) {
        if (value == kUnset)
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
    }
}

std::string shellOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    ::pclose(pipe);
    return output;
}

std::string waitForFile(const std::string& path, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string content = readFile(path);
        if (!content.empty())
            return content;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace vellick::test
