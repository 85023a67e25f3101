#include "cli/cli_host.h"

namespace vellick {

CliHost::CliHost(std::ostream& err, bool showProgress)
    : m_err(err)
    , m_showProgress(showProgress)
{
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
