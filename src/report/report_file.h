#pragma once

#include "base/replacement_file.h"
#include "base/unique_fd.h"

#include <string>
#include <string_view>

namespace vellick {

// A report file being written. Every write and the close are checked: a report that could not be written
// completely (a full disk, a lost network share) is removed rather than left behind looking finished.
// An existing report is replaced only once the new one is complete, so a failed overwrite leaves the old
// one as it was. Only a regular file is ever removed; a device or pipe given as the target is just closed.
class ReportFile {
public:
    ReportFile() = default;
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;
    // A file that was not finished is removed.
    ~ReportFile();

    // Opens the target for the new report; false when that fails.
    bool create(const std::string& path);
    // Appends bytes; a failure is remembered and reported by finish().
    void write(std::string_view bytes);
    // A write has failed: the rest need not be produced.
    bool failed() const { return m_failed; }
    // Writes what is buffered and closes the file; false (and the new file removed) when any step failed.
    bool finish();

private:
    bool openInPlace(const std::string& path);
    int fd() const { return m_replacement.active() ? m_replacement.fd() : m_inPlace.get(); }
    bool flush();
    void abandon();

    static constexpr std::size_t kBufferLimit = std::size_t { 64 } * 1024;

    // An existing regular file is written beside itself and renamed over; anything else (a new file, a
    // device, a pipe, a file whose folder takes no temporary file) is written in place.
    ReplacementFile m_replacement;
    UniqueFd m_inPlace;
    std::string m_path;
    std::string m_buffer;
    bool m_regular = false;
    bool m_failed = false;
};

} // namespace vellick
