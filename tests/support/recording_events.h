#pragma once

#include "results/document_sink.h"
#include "results/run_texts.h"
#include "search/search_options.h"

#include <string>
#include <vector>

namespace vellick::test {

// A search sink for tests: fills the document through the document sink, as the window does, and records
// the events, the status texts they give and the stop message.
class RecordingEvents : public vellick::SearchSink {
public:
    explicit RecordingEvents(vellick::CVellickDoc& doc)
        : m_documentSink(doc)
    {
    }

    // Readies the document for the run the criteria describe.
    void begin(const vellick::SearchCriteria& criteria) { m_documentSink.begin(criteria.listedFilesMode); }

    void fileFound(const vellick::FoundFile& file) override
    {
        found.emplace_back(file.path);
        m_documentSink.fileFound(file);
    }
    void listedFileKept(std::size_t listIndex, const vellick::FoundFile& file) override
    {
        kept.push_back(listIndex);
        m_documentSink.listedFileKept(listIndex, file);
    }
    void listedFileDropped(std::size_t listIndex) override
    {
        dropped.push_back(listIndex);
        m_documentSink.listedFileDropped(listIndex);
    }
    void progress(const vellick::RunProgress& progress) override
    {
        statusTexts.push_back(progress.folder ? vellick::folderProgressText(progress.checked, progress.path)
                                              : vellick::fileProgressText(progress.path));
    }
    void insideProblem(std::string_view path, const vellick::ContainerNotice& notice) override
    {
        problems.push_back(vellick::insideProblemText(path, notice));
    }
    void finished(const vellick::RunSummary& summary) override
    {
        summaries.push_back(summary);
        m_documentSink.finished(summary);
        if (summary.stoppedByUser)
            messages.emplace_back(vellick::kStoppedMessage);
        statusTexts.push_back(vellick::summaryText(summary.found, summary.checked, summary.elapsedSeconds));
    }

    std::string lastStatus() const { return statusTexts.empty() ? std::string() : statusTexts.back(); }

    std::vector<std::string> found;
    std::vector<std::size_t> kept;
    std::vector<std::size_t> dropped;
    std::vector<std::string> statusTexts;
    std::vector<std::string> messages;
    std::vector<std::string> problems; // inside documents and archives
    std::vector<vellick::RunSummary> summaries;

private:
    vellick::DocumentSink m_documentSink;
};

} // namespace vellick::test
