#pragma once

#include "search/scan_types.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vellick {

// A file the run found, as the scan gave it. The views are valid only during the call that passes it.
struct FoundFile {
    std::string_view path; // full path
    FileKind kind = FileKind::Text;
    FileStatus status;
    std::span<const Hit> hits; // ascending offset order
    bool hitLimitReached = false; // the scan stopped taking hits at the per-file hit limit
};

// Where the run is: a folder whose walk begins, or a listed file about to be re-checked.
struct RunProgress {
    unsigned checked = 0; // files checked so far
    std::string_view path; // the folder, or the listed file
    bool folder = false;
};

// How a run ended. Elapsed time is taken when the run ends, before any front end reacts to it.
struct RunSummary {
    int found = 0;
    unsigned checked = 0;
    int64_t elapsedSeconds = 0;
    bool stoppedByUser = false;
    bool endedAtFoundCap = false;
};

// What a search run reports, in walk order, on the run's own thread (from within start() and step()).
// The run knows no front end: the document sink fills CVellickDoc, the window's search controller turns
// the events into the panel's states and texts, vellick-cli prints them, tests record them.
class SearchSink {
public:
    virtual ~SearchSink() = default;
    // A file of the walk that matched.
    virtual void fileFound(const FoundFile& file) = 0;
    // Re-check of listed files: the file at `listIndex` of the request's list still matches (with its new
    // hits and status), or no longer does (it cannot be read, or it has no hit now).
    virtual void listedFileKept(std::size_t /*listIndex*/, const FoundFile& /*file*/) { }
    virtual void listedFileDropped(std::size_t /*listIndex*/) { }
    virtual void progress(const RunProgress& /*progress*/) { }
    // The run has ended; it is called exactly once per start(), after the last other event.
    virtual void finished(const RunSummary& summary) = 0;
};

} // namespace vellick
