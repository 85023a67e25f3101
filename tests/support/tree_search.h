#pragma once

#include "results/vellick_doc.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "support/recording_events.h"

#include <memory>
#include <string>
#include <vector>

namespace vellick::test {

// Runs whole searches over a folder the way the window does (Start's checks, then the run step by step)
// and keeps the document, for tests that look at the rows and counts. Without scan-ahead threads by default, so that a
// test can change files after the walk has listed them and before they are scanned (between start() and finish()).
class TreeSearch {
public:
    explicit TreeSearch(int scanThreads = 0);
    ~TreeSearch();
    TreeSearch(const TreeSearch&) = delete;
    TreeSearch& operator=(const TreeSearch&) = delete;

    // A panel searching `folder` and its sub-folders for `keywords` in every file.
    static PanelInput panel(const std::string& folder, const std::string& keywords);

    // Start's checks and the start of the run; false (with the message) when a check refuses.
    bool start(const PanelInput& input, SearchSettings settings = {});
    // Steps the run to its end.
    void finish();
    bool run(const PanelInput& input, SearchSettings settings = {})
    {
        return start(input, settings) && (finish(), true);
    }

    // The found files' paths in row order, relative to `root` when they lie in it.
    std::vector<std::string> rows(const std::string& root = {}) const;

    CVellickDoc& doc() { return m_doc; }
    SearchRun& searchRun() { return m_run; }
    // Start's refusal, the run's message boxes and its last status text (the summary once it has ended).
    const std::string& message() const { return m_message; }
    const std::vector<std::string>& runMessages() const { return m_events.messages; }
    std::string statusText() const { return m_events.lastStatus(); }
    const RecordingEvents& events() const { return m_events; }

private:
    CVellickDoc m_doc;
    RecordingEvents m_events { m_doc };
    SearchRun m_run;
    std::string m_message;
};

} // namespace vellick::test
