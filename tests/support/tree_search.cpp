#include "support/tree_search.h"

namespace vellick::test {

TreeSearch::TreeSearch(int scanThreads)
{
    m_run.setScanThreads(scanThreads, true);
}

TreeSearch::~TreeSearch()
{
    if (m_run.inProgress())
        m_run.stop();
    while (m_run.step(1000)) { }
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
    SearchCriteria criteria = *request.criteria;
    if (criteria.listedFilesMode) {
        criteria.listedPaths = listedPaths(m_doc);
        criteria.listedMembers = listedMembers(m_doc);
    }
    m_events.begin(criteria);
    m_run.start(criteria, settings, m_events);
    return true;
}

void TreeSearch::finish()
{
    while (m_run.step(1000)) { }
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
