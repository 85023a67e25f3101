#include "support/git_judge.h"

#include "support/process_runner.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vellick::test {

bool gitInstalled()
{
    return runProcess({ kGitProgram, "--version" }, "/").exitStatus == 0;
}

PrivateGitHome::PrivateGitHome()
    : m_noSystemConfig("GIT_CONFIG_NOSYSTEM", "1")
    , m_homeFolder("HOME", m_home.root())
    , m_configFolder("XDG_CONFIG_HOME", m_home.path("config"))
{
}

std::set<std::string> ignoredByGit(const std::string& root, const std::vector<std::string>& paths)
{
    std::vector<std::string> argv { kGitProgram, "check-ignore", "--no-index", "--" };
    argv.insert(argv.end(), paths.begin(), paths.end());
    const ProcessResult result = runProcess(argv, root);
    EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << result.err;
    std::set<std::string> ignored;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);)
        ignored.insert(line);
    return ignored;
}

} // namespace vellick::test
