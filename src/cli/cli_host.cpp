#include "cli/cli_host.h"

#include "results/run_texts.h"

namespace vellick {

CliHost::CliHost(std::ostream& err, bool showProgress, CVellickDoc& doc)
    : m_err(err)
    , m_showProgress(showProgress)
    , m_documentSink(doc)
{
}

void CliHost::progress(const RunProgress& progress)
{
    setStatusText(
        progress.folder ? folderProgressText(progress.checked, progress.path) : fileProgressText(progress.path));
}

void CliHost::finished(const RunSummary& summary)
{
    m_documentSink.finished(summary);
    if (summary.stoppedByUser)
        showMessage(kStoppedMessage);
    setStatusText(summaryText(summary.found, summary.checked, summary.elapsedSeconds));
}

CliHost::~CliHost()
{
    clearProgress();
}

void CliHost::setStatusText(const std::string& text)
{
    m_lastStatus = text;
    if (!m_showProgress)
        return;
    m_err << "\r\033[K" << text << std::flush;
    m_progressShown = true;
}

void CliHost::showMessage(const std::string& text)
{
    clearProgress();
    m_err << text << '\n';
}

void CliHost::clearProgress()
{
    if (!m_progressShown)
        return;
    m_err << "\r\033[K" << std::flush;
    m_progressShown = false;
}

} // namespace vellick
