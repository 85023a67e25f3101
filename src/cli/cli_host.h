#pragma once

#include "results/document_sink.h"
#include "results/message_sink.h"

#include <ostream>
#include <string>

namespace vellick {

// The search run's events on a terminal: found files go to the document (through the document sink),
// progress to one updating stderr line when stderr is a terminal, messages (the run's and the
// surrounding-text loader's) to stderr lines. The summary text is kept for the caller.
class CliHost : public SearchSink, public MessageSink {
public:
    CliHost(std::ostream& err, bool showProgress, CVellickDoc& doc);
    ~CliHost() override;

    void fileFound(const FoundFile& file) override { m_documentSink.fileFound(file); }
    void listedFileKept(std::size_t listIndex, const FoundFile& file) override
    {
        m_documentSink.listedFileKept(listIndex, file);
    }
    void listedFileDropped(std::size_t listIndex) override { m_documentSink.listedFileDropped(listIndex); }
    void progress(const RunProgress& progress) override;
    void finished(const RunSummary& summary) override;
    void showMessage(const std::string& text) override;

    const std::string& lastStatusText() const { return m_lastStatus; }
    // Clears the progress line so that ordinary output can follow.
    void clearProgress();

private:
    void setStatusText(const std::string& text);

    std::ostream& m_err;
    bool m_showProgress;
    bool m_progressShown = false;
    std::string m_lastStatus;
    DocumentSink m_documentSink;
};

} // namespace vellick
