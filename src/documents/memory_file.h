#pragma once

#include "base/unique_fd.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vellick {

// An anonymous file in memory (memfd): nothing reaches the file system and it is gone with its last descriptor.
std::optional<UniqueFd> createMemoryFile();

// Fills a memory file up to a byte limit, in blocks (so memory stays small however big the content). Used by
// the member copy and by the text extractors; owns the file until take() hands it on.
class MemoryFileWriter {
public:
    explicit MemoryFileWriter(uint64_t limit);

    bool valid() const { return m_fd.valid(); }
    // Appends at the end; false once the limit is reached (what fits is kept) or a write failed.
    bool append(std::string_view bytes);
    // Writes at `offset` (past the end leaves a hole, which costs no memory); false as append.
    bool writeAt(uint64_t offset, std::string_view bytes);
    // Makes the file `length` long (holes included), kept within the limit.
    void extendTo(uint64_t length);
    uint64_t size() const { return m_size; }
    bool cut() const { return m_cut; }
    bool failed() const { return m_failed; }
    // Flushes and hands over the file positioned at its start; nothing when a write failed.
    std::optional<UniqueFd> take();
    int fd() const { return m_fd.get(); }
    bool flush();

private:
    UniqueFd m_fd;
    uint64_t m_limit;
    uint64_t m_size = 0; // logical size: what is written plus what waits in m_buffer
    uint64_t m_bufferStart = 0; // file offset of m_buffer's first byte
    std::vector<char> m_buffer;
    bool m_cut = false;
    bool m_failed = false;
};

} // namespace vellick
