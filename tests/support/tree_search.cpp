#include "support/tree_search.h"

#include <fcntl.h>
#include <unistd.h>

namespace vellick::test {

TreeSearch::TreeSearch(int scanThreads)
    : m_startDirectory(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC))
{
    m_run.setScanThreads(scanThreads, true);
}

TreeSearch::~TreeSearch()
{
    if (m_run.inProgress())
        m_run.stop();
    while (m_run.step(1000)) { }
    if (m_startDirectory >= 0) {
        static_cast<void>(::fchdir(m_startDirectory));
        ::close(m_startDirectory);
    }
}

PanelInput TreeSearch::panel(const std::string& folder, const std::string& keywords)
{
    PanelInput input;
    input.folder = folder;
    input.keywordText = keywords;
    input.filePatterns = "*.*";
    input.subFolders = true;
    return input;
}

bool TreeSearch::start(const PanelInput& input, SearchSettings settings)
{
    const SearchRequest request = prepareSearch(input);
    m_message = request.message;
    if (!request.criteria)
        return false;
    m_run.start(*request.criteria, settings);
    return true;
}

void TreeSearch::finish()
{
    while (m_run.step(1000)) { }
    if (m_startDirectory >= 0)
        static_cast<void>(::fchdir(m_startDirectory));
}

std::vector<std::string> TreeSearch::rows(const std::string& root) const
{
    std::vector<std::string> paths;
    for (int row = 0; row < m_doc.rowCount(); ++row) {
        const std::string& path = m_doc.record(m_doc.recordAtRow(row)).path;
        const bool inRoot = !root.empty() && path.rfind(root + "/", 0) == 0;
        paths.push_back(inRoot ? path.substr(root.size() + 1) : path);
    }
    return paths;
}

} // namespace vellick::test
