#pragma once

#include "base/replacement_file.h"
#include "base/unique_fd.h"

#include <string>
#include <string_view>

namespace vellick {

// A report file being written. Every write and the close are checked. A report goes to a temporary file
// that takes the report's name only once it is complete, so a report that could not be written completely
// (a full disk, a lost network share, an interrupt) leaves nothing, or the old report as it was. Where that
// is not possible (a folder that takes no new file) the report fails rather than overwriting the old one.
// A device or pipe given as the target is written directly and never removed.
class ReportFile {
public:
    ReportFile() = default;
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;
    // A report that was not finished leaves nothing: its temporary file is removed.
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
    bool openDevice(const std::string& path);
    int fd() const { return m_replacement.active() ? m_replacement.fd() : m_inPlace.get(); }
    bool flush();
    void abandon();

    static constexpr std::size_t kBufferLimit = std::size_t { 64 } * 1024;

    // A regular file, old or new, is written beside itself and renamed; a device or pipe is written in place.
    ReplacementFile m_replacement;
    UniqueFd m_inPlace;
    std::string m_buffer;
    bool m_failed = false;
};

} // namespace vellick
