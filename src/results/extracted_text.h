#pragma once

#include "base/unique_fd.h"
#include "results/cline.h"

#include <optional>

namespace vellick {

// The text that the hits of a record found inside a document or an archive point into: the document's
// text or the member's bytes, extracted again from the container open at `containerFd` (which the caller
// has checked to be the searched one). The last text extracted is kept, when it is at most
// kKeptExtractBytes, since the text pane, the CLI and reports load one record again and again; a larger one
// is extracted each time so that memory stays bounded. Nothing when it cannot be extracted any more.
// The descriptor returned may share its file offset with the kept one: read it before the next call.
inline constexpr uint64_t kKeptExtractBytes = uint64_t { 64 } << 20;
std::optional<UniqueFd> extractedText(int containerFd, const CLine& line);

// Forgets the kept text (tests, and at exit so that its memory is given back early).
void forgetExtractedText();

} // namespace vellick
