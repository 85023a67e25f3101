#include "search/search_run.h"

#include "results/vellick_doc.h"
#include "search/file_patterns.h"
#include "search/run_texts.h"
#include "search/search_host.h"
#include "search/search_request.h"

#include <fcntl.h>

namespace vellick {

SearchRun::SearchRun(CVellickDoc& doc, SearchHost& host)
    : m_doc(doc)
    , m_host(host)
{
}

SearchRun::~SearchRun() = default;

void SearchRun::start(const SearchCriteria& criteria, const SearchSettings& settings)
{
    m_criteria = criteria;
    m_settings = settings;
    m_host.setBusy(true);
    m_host.setStartButtonLabel(kStopLabel);
    m_host.setCombosReadOnly(true);
    if (criteria.listedFilesMode)
        m_doc.setCurrent(-1);
    else
        m_doc.clear();
    m_host.resetTextPane();
    m_startTime = std::time(nullptr);
    m_host.blankIndicators();
    m_host.setStatusText(kSearchingText);
    m_host.repaintNow();
    m_checkedCount = 0;
    m_foundCount = 0;

    m_host.beep();
    m_keywords = KeywordList(criteria.keywordText, criteria.flags);
    m_plan = std::make_unique<ScanPlan>(m_keywords, settings.maxKeys);
    m_scanner = std::make_unique<FileScanner>(*m_plan);
    m_searchRunning = true;
    m_inProgress = true;
    if (criteria.listedFilesMode) {
        m_recheckRow = 0;
        m_recheckLeft = m_doc.rowCount();
    } else {
        m_walk.emplace(
            splitFilePatterns(criteria.filePatterns), (criteria.flags & SubFolders) != 0, settings.includeHidden);
        m_walk->start(currentDirectory().value_or("."));
    }
}

bool SearchRun::step(int budget)
{
    if (!m_inProgress)
        return false;
    bool more = true;
    for (; budget > 0 && more; --budget) {
        if (!m_searchRunning)
            more = false;
        else
            more = m_criteria.listedFilesMode ? recheckStep() : walkStep();
    }
    if (!more)
        finish();
    return more;
}

// Goes on to the next file or sub-folder entry; false when the walk is over.
bool SearchRun::walkStep()
{
    for (;;) {
        switch (m_walk->next()) {
        case FolderWalk::EventType::EnteredFolder:
            m_host.setStatusText(folderProgressText(m_checkedCount, m_walk->directory()));
            continue;
        case FolderWalk::EventType::File:
            if (scanFile(m_walk->dirFd(), m_walk->nameCString())) {
                const int index = m_doc.addRecord(m_walk->fullPath(), m_result.kind, m_result.status);
                for (const Hit& hit : m_result.hits)
                    m_doc.record(index).appendHit(hit);
                if (m_foundCount < kAnnouncedFound)
                    m_doc.updateAllViews(HintRowsAdded);
            }
            return m_foundCount < kMaxFound;
        case FolderWalk::EventType::SubFolderEntry:
            return true;
        case FolderWalk::EventType::Done:
            return false;
        }
    }
}

// Re-checks the listed file in the current row; a file that no longer matches loses its row.
bool SearchRun::recheckStep()
{
    if (m_recheckLeft == 0)
        return false;
    --m_recheckLeft;
    const int recordIndex = m_doc.recordAtRow(m_recheckRow);
    CLine& line = m_doc.record(recordIndex);
    line.clearHits();
    m_host.setStatusText(fileProgressText(line.path));
    if (scanFile(AT_FDCWD, line.path.c_str())) {
        // The file may have changed kind since it was listed; the kind must agree with the new hit lines.
        line.kind = m_result.kind;
        for (const Hit& hit : m_result.hits)
            line.appendHit(hit);
        ++m_recheckRow;
    } else {
        m_doc.removeDisplayRow(m_recheckRow);
        if (m_foundCount < kAnnouncedFound)
            m_host.repaintNow();
    }
    return m_recheckLeft > 0 && m_foundCount < kMaxFound;
}

// Scans one file into m_result and counts it; true when it was found.
bool SearchRun::scanFile(int dirFd, const char* name)
{
    m_scanner->scan(dirFd, name, m_result);
    ++m_checkedCount;
    if (m_result.found)
        ++m_foundCount;
    return m_result.found;
}

void SearchRun::finish()
{
    if (m_foundCount > 0) {
        if (m_foundCount >= kAnnouncedFound)
            m_doc.updateAllViews(HintRowsAdded);
        m_doc.setCurrent(m_doc.recordAtRow(0));
        m_host.selectFirstRowAndFocus();
    }
    m_walk.reset();
    m_scanner.reset();

    m_host.invalidateTextPane();
    m_host.setCombosReadOnly(false);
    m_host.setBusy(false);
    const bool stopped = !m_searchRunning;
    m_searchRunning = false;
    m_inProgress = false;
    if (stopped)
        m_host.showMessage(kStoppedMessage);
    m_host.setStatusText(summaryText(m_foundCount, m_checkedCount, std::time(nullptr) - m_startTime));
    m_host.setStartButtonLabel(kStartLabel);
    m_host.updateRecentLists(m_criteria.keywordText, m_criteria.folder, m_criteria.filePatterns);
}

} // namespace vellick
