#pragma once

#include <string>
#include <string_view>

namespace vellick {

// vellick-cli's standard output: buffered text written with write(2), every write checked. A reader that
// went away (EPIPE) ends printing quietly; any other failure ends it with the error kept for the caller.
// Either way the search and its report go on; later text is dropped.
class OutputWriter {
public:
    explicit OutputWriter(int fd);
    ~OutputWriter();
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    void write(std::string_view text);
    // Writes out what is buffered; false once printing has ended.
    bool flush();

    bool readerGone() const { return m_readerGone; }
    // The errno of a failed write other than EPIPE; 0 when none failed.
    int error() const { return m_error; }
    bool ended() const { return m_readerGone || m_error != 0; }

private:
    static constexpr std::size_t kFlushSize = 64 * 1024;

    int m_fd;
    std::string m_buffer;
    bool m_readerGone = false;
    int m_error = 0;
};

} // namespace vellick
