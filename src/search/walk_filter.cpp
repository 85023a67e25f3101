#include "search/walk_filter.h"

#include "search/file_patterns.h"
#include "search/ignore_files.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vellick {

WalkFilter::WalkFilter(const SearchScope& scope, std::vector<std::string> excludedPatterns)
    : m_scope(scope)
    , m_excludedPatterns(std::move(excludedPatterns))
    , m_boundsSet(scope.minSize || scope.maxSize || scope.modifiedAfter || scope.modifiedBefore)
{
}

bool WalkFilter::needed(const SearchScope& scope, const std::vector<std::string>& excludedPatterns)
{
    return !excludedPatterns.empty() || !scope.excludedFolders.empty() || scope.gitignore || scope.minSize
        || scope.maxSize || scope.modifiedAfter || scope.modifiedBefore;
}

void WalkFilter::startRoot(const std::string& rootPath)
{
    if (!m_scope.gitignore)
        return;
    IgnoreSetup setup = prepareIgnoreSetup(rootPath);
    m_ignores = std::move(setup.stack);
    m_rootBelowTop = std::move(setup.startBelowTop);
    m_rootLevels = m_ignores.depth();
}

void WalkFilter::enterFolder(int fd, std::string_view pathBelowRoot)
{
    if (m_scope.gitignore)
        m_ignores.push(pathBelowTop(pathBelowRoot), readIgnoreFile(fd, ".gitignore"));
}

void WalkFilter::leaveFolder()
{
    if (m_scope.gitignore && m_ignores.depth() > m_rootLevels)
        m_ignores.pop();
}

bool WalkFilter::keepsFolder(std::string_view parentBelowRoot, std::string_view name)
{
    if (m_scope.excludedFolders.empty() && !m_scope.gitignore)
        return true;
    const std::string& path = pathBelowRoot(parentBelowRoot, name);
    if (folderExcluded(m_scope, name, path))
        return false;
    return !m_scope.gitignore || !m_ignores.ignored(pathBelowTop(path), true);
}

bool WalkFilter::keepsFile(int dirFd, std::string_view folderBelowRoot, std::string_view name)
{
    for (const std::string& pattern : m_excludedPatterns) {
        if (matchesFilePattern(pattern, name))
            return false;
    }
    if (m_scope.gitignore && m_ignores.ignored(pathBelowTop(pathBelowRoot(folderBelowRoot, name)), false))
        return false;
    return !m_boundsSet || statusInBounds(dirFd, name.data());
}

const std::string& WalkFilter::pathBelowRoot(std::string_view folder, std::string_view name)
{
    m_path.assign(folder);
    if (!m_path.empty())
        m_path += '/';
    m_path += name;
    return m_path;
}

const std::string& WalkFilter::pathBelowTop(std::string_view pathBelowRoot)
{
    m_topPath.assign(m_rootBelowTop);
    if (!m_topPath.empty() && !pathBelowRoot.empty())
        m_topPath += '/';
    m_topPath += pathBelowRoot;
    return m_topPath;
}

// A file whose status cannot be read is left out: it cannot be shown to be inside the bounds.
bool WalkFilter::statusInBounds(int dirFd, const char* name) const
{
    struct stat status { };
    if (::fstatat(dirFd, name, &status, 0) != 0)
        return false;
    return statusInScope(m_scope, static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_mtim.tv_sec));
}

} // namespace vellick
