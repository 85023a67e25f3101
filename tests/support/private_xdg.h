#pragma once

#include "support/temp_tree.h"

#include <string>
#include <vector>

namespace vellick::test {

// Points XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_CACHE_HOME at folders of a temporary tree (not yet made,
// as on a fresh account) for the life of the object, and puts the previous values back afterwards.
class PrivateXdg {
public:
    PrivateXdg();
    ~PrivateXdg();
    PrivateXdg(const PrivateXdg&) = delete;
    PrivateXdg& operator=(const PrivateXdg&) = delete;

    const TempTree& tree() const { return m_tree; }
    std::string dataHome() const { return m_tree.path("data"); }
    std::string configHome() const { return m_tree.path("config"); }
    std::string cacheHome() const { return m_tree.path("cache"); }

private:
    TempTree m_tree;
    std::vector<std::pair<std::string, std::string>> m_saved; // name, value ("\x01" for unset)
};

// Runs a command line through the shell and returns what it wrote on stdout.
std::string shellOutput(const std::string& command);

// Waits up to `seconds` for a file to exist and be non-empty, then returns its content (empty on time-out).
std::string waitForFile(const std::string& path, int seconds);

// Quotes a text for the shell.
std::string shellQuoted(const std::string& text);

} // namespace vellick::test
