#pragma once

#include "base/unique_fd.h"
#include "documents/container_reader.h"

#include <optional>

namespace vellick {

// The searchable text of one document, in a memory file positioned at 0.
struct DocumentText {
    std::optional<UniqueFd> text; // nothing when no text could be made (see the flags)
    bool cutAtLimit = false; // the text, or a part it was made from, passed the limits
    bool damaged = false; // the file could not be read to its end; the text so far is kept
    bool encrypted = false;
    bool notADocument = false; // an office name on a zip without a content part: read it as an archive
};

// OpenDocument (content.xml) and Office Open XML (word/document.xml; xl/sharedStrings.xml and the
// worksheets; the slides in their order), read from the zip open at `fd`.
DocumentText officeDocumentText(int fd, const ContainerLimits& limits, const std::atomic<bool>* cancel);

// Every page's text in poppler's reading order, a form feed between pages, UTF-8.
DocumentText pdfDocumentText(int fd, const ContainerLimits& limits, const std::atomic<bool>* cancel);

} // namespace vellick
