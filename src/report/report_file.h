#pragma once

#include "search/unique_fd.h"

#include <string>
#include <string_view>

namespace vellick {

// A report file being written. Every write and the close are checked: a report that could not be written
// completely (a full disk, a lost network share) is removed rather than left behind looking finished.
// Only a regular file is ever removed; a device or pipe given as the target is just closed.
class ReportFile {
public:
    ReportFile() = default;
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;
    // A file that was not finished is removed.
    ~ReportFile();

    // Creates the file or truncates an existing one; false when that fails.
    bool create(const std::string& path);
    // Appends bytes; a failure is remembered and reported by finish().
    void write(std::string_view bytes);
    // A write has failed: the rest need not be produced.
    bool failed() const { return m_failed; }
    // Writes what is buffered and closes the file; false (and the file removed) when any step failed.
    bool finish();

private:
    bool flush();
    void abandon();

    static constexpr std::size_t kBufferLimit = std::size_t { 64 } * 1024;

    UniqueFd m_fd;
    std::string m_path;
    std::string m_buffer;
    bool m_regular = false;
    bool m_failed = false;
};

} // namespace vellick
