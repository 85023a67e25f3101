#pragma once

#include "support/scoped_env.h"
#include "support/temp_tree.h"

#include <set>
#include <string>
#include <vector>

namespace vellick::test {

// git, run as the judge of what its ignore files mean.
inline const std::string kGitProgram = "/usr/bin/git";

bool gitInstalled();

// While it lives, git reads no system configuration and has a home of its own, so the user's settings
// cannot change its verdicts; home() is where a test puts a global excludes file (config/git/ignore).
class PrivateGitHome {
public:
    PrivateGitHome();
    const TempTree& home() const { return m_home; }

private:
    TempTree m_home;
    ScopedEnv m_noSystemConfig;
    ScopedEnv m_homeFolder;
    ScopedEnv m_configFolder;
};

// Of `paths` (relative to `root`), the ones git check-ignore --no-index says are ignored.
std::set<std::string> ignoredByGit(const std::string& root, const std::vector<std::string>& paths);

} // namespace vellick::test
