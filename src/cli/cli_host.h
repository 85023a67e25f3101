#pragma once

#include "results/message_sink.h"
#include "search/search_host.h"

#include <ostream>
#include <string>

namespace vellick {

// The search run's user interface on a terminal: progress on one updating stderr line when stderr is a
// terminal, message boxes (the run's and the surrounding-text loader's) as stderr lines. The last status
// text (the summary) is kept for the caller.
class CliHost : public SearchHost, public MessageSink {
public:
    CliHost(std::ostream& err, bool showProgress);
    ~CliHost() override;

    void setStatusText(const std::string& text) override;
    void showMessage(const std::string& text) override;

    const std::string& lastStatusText() const { return m_lastStatus; }
    // Clears the progress line so that ordinary output can follow.
    void clearProgress();

private:
    std::ostream& m_err;
    bool m_showProgress;
    bool m_progressShown = false;
    std::string m_lastStatus;
};

} // namespace vellick
