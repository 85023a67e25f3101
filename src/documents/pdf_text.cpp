#include "documents/document_text.h"
#include "documents/memory_file.h"

#include <memory>
#include <mutex>
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>
#include <string>

namespace vellick {

namespace {

void ignorePopplerMessage(const std::string&, void*)
{
}

// Poppler keeps process-wide state (its error callback, font and encoding tables) that is not safe to set
// up from several threads at once, so one document is read at a time.
std::mutex& popplerLock()
{
    static std::mutex lock;
    static std::once_flag once;
    // Poppler prints its complaints about broken files to stderr unless told otherwise.
    std::call_once(once, [] { poppler::set_debug_error_function(ignorePopplerMessage, nullptr); });
    return lock;
}

bool appendPageText(const poppler::page& page, MemoryFileWriter& out)
{
    const poppler::byte_array utf8 = page.text().to_utf8();
    std::string_view text(utf8.data(), utf8.size());
    // Poppler ends a page's text with its own form feed; the caller puts one between pages instead.
    if (text.ends_with('\f'))
        text.remove_suffix(1);
    return out.append(text);
}

} // namespace

DocumentText pdfDocumentText(int fd, const ContainerLimits& limits, const std::atomic<bool>* cancel)
{
    DocumentText result;
    std::lock_guard guard(popplerLock());
    // Poppler opens files by name; the descriptor's own entry names this very file (also an in-memory one)
    // and lets poppler read it in pieces instead of all at once.
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_file("/proc/self/fd/" + std::to_string(fd)));
    if (!document) {
        result.damaged = true;
        return result;
    }
    if (document->is_locked()) {
        result.encrypted = true;
        return result;
    }
    MemoryFileWriter out(limits.maxExpandedBytes);
    const int pages = document->pages();
    for (int index = 0; index < pages && !out.cut() && !out.failed(); ++index) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        if (index > 0)
            out.append("\f");
        std::unique_ptr<poppler::page> page(document->create_page(index));
        if (page)
            appendPageText(*page, out);
        else
            result.damaged = true;
    }
    result.cutAtLimit = out.cut();
    result.text = out.take();
    return result;
}

} // namespace vellick
