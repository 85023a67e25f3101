#include "documents/archive_handle.h"
#include "documents/document_text.h"
#include "documents/member_copy.h"
#include "documents/memory_file.h"
#include "documents/xml_text.h"

#include <algorithm>
#include <archive_entry.h>
#include <charconv>
#include <unistd.h>

namespace vellick {

namespace {

using Role = XmlElementRole;

// OpenDocument: text nodes of paragraphs and headings; blanks collapse as the format says, text:s and
// text:tab stand for spaces and tabs. Styles, scripts and deleted text are passed over.
constexpr XmlElementRule kOpenDocumentRules[] = { { "p", Role::Paragraph }, { "h", Role::Paragraph },
    { "tab", Role::Tab }, { "s", Role::Spaces }, { "line-break", Role::LineBreak }, { "table-cell", Role::CellEnd },
    { "covered-table-cell", Role::CellEnd }, { "table-row", Role::RowEnd }, { "automatic-styles", Role::Skipped },
    { "font-face-decls", Role::Skipped }, { "scripts", Role::Skipped }, { "tracked-changes", Role::Skipped } };
// WordprocessingML: only w:t holds text (w:delText and w:instrText are deleted text and field codes). The
// properties are passed over because their w:tab elements are tab stops, not tabs.
constexpr XmlElementRule kWordRules[] = { { "t", Role::TextHolder }, { "p", Role::ParagraphEnd }, { "tab", Role::Tab },
    { "br", Role::LineBreak }, { "cr", Role::LineBreak }, { "tc", Role::CellEnd }, { "tr", Role::RowEnd },
    { "pPr", Role::Skipped }, { "rPr", Role::Skipped } };
// DrawingML in slides: a:t in paragraphs, tables as in documents.
constexpr XmlElementRule kSlideRules[] = { { "t", Role::TextHolder }, { "p", Role::ParagraphEnd },
    { "br", Role::LineBreak }, { "tc", Role::CellEnd }, { "tr", Role::RowEnd }, { "pPr", Role::Skipped } };
// SpreadsheetML: a row is a line, its cells' values (shared strings looked up) joined by tabs; formulas
// and phonetic guides are passed over.
constexpr XmlElementRule kSheetRules[] = { { "c", Role::SpreadsheetCell }, { "v", Role::TextHolder },
    { "t", Role::TextHolder }, { "row", Role::RowEnd }, { "f", Role::Skipped }, { "rPh", Role::Skipped } };
constexpr XmlElementRule kSharedStringRules[]
    = { { "t", Role::TextHolder }, { "si", Role::ItemEnd }, { "rPh", Role::Skipped } };

enum class PartKind { OpenDocument, WordDocument, Slide, Sheet, SharedStrings };

struct Part {
    PartKind kind;
    int order = 0; // slide or sheet number
};

std::optional<int> numberBetween(std::string_view name, std::string_view prefix, std::string_view suffix)
{
    if (!name.starts_with(prefix) || !name.ends_with(suffix) || name.size() <= prefix.size() + suffix.size())
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

std::optional<Part> partNamed(std::string_view name)
{
    if (name == "content.xml")
        return Part { PartKind::OpenDocument };
    if (name == "word/document.xml")
        return Part { PartKind::WordDocument };
    if (name == "xl/sharedStrings.xml")
        return Part { PartKind::SharedStrings };
    if (auto slide = numberBetween(name, "ppt/slides/slide", ".xml"))
        return Part { PartKind::Slide, *slide };
    if (auto sheet = numberBetween(name, "xl/worksheets/sheet", ".xml"))
        return Part { PartKind::Sheet, *sheet };
    return std::nullopt;
}

// The current entry's data as the XML reader's input, cut at the limits.
class EntryInput {
public:
    EntryInput(ArchiveHandle& handle, const ContainerLimits& limits, const std::atomic<bool>* cancel)
        : m_handle(handle)
        , m_limits(limits)
        , m_cancel(cancel)
        , m_readBefore(handle.bytesRead())
    {
    }

    int operator()(char* buffer, int length)
    {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            return -1;
        if (m_expanded >= m_limits.maxExpandedBytes
            || expandsTooMuch(m_expanded, static_cast<uint64_t>(m_handle.bytesRead() - m_readBefore), m_limits)) {
            m_cut = true;
            return 0;
        }
        const uint64_t room = m_limits.maxExpandedBytes - m_expanded;
        const auto got
            = archive_read_data(m_handle.get(), buffer, static_cast<size_t>(std::min<uint64_t>(length, room)));
        if (got < 0) {
            m_damaged = true;
            return -1;
        }
        m_expanded += static_cast<uint64_t>(got);
        return static_cast<int>(got);
    }
    bool cut() const { return m_cut; }
    bool damaged() const { return m_damaged; }

private:
    ArchiveHandle& m_handle;
    const ContainerLimits& m_limits;
    const std::atomic<bool>* m_cancel;
    int64_t m_readBefore;
    uint64_t m_expanded = 0;
    bool m_cut = false;
    bool m_damaged = false;
};

// The workbook's shared strings, kept in a memory file with the end offset of each.
class SharedStrings {
public:
    explicit SharedStrings(const ContainerLimits& limits)
        : m_text(limits.maxExpandedBytes)
    {
    }
    MemoryFileWriter& writer() { return m_text; }
    void endItem() { m_ends.push_back(m_text.size()); }
    std::string at(std::string_view indexText)
    {
        std::size_t index = 0;
        const auto [end, error] = std::from_chars(indexText.data(), indexText.data() + indexText.size(), index);
        if (error != std::errc() || index >= m_ends.size() || !m_text.flush())
            return std::string();
        const uint64_t start = index == 0 ? 0 : m_ends[index - 1];
        std::string text(static_cast<std::size_t>(m_ends[index] - start), '\0');
        const ssize_t got = ::pread(m_text.fd(), text.data(), text.size(), static_cast<off_t>(start));
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return text;
    }

private:
    MemoryFileWriter m_text;
    std::vector<uint64_t> m_ends;
};

struct TextRange {
    Part part;
    uint64_t start;
    uint64_t end;
};

class OfficeReader {
public:
    OfficeReader(int fd, const ContainerLimits& limits, const std::atomic<bool>* cancel)
        : m_fd(fd)
        , m_limits(limits)
        , m_cancel(cancel)
        , m_scratch(limits.maxExpandedBytes)
        , m_sharedStrings(limits)
    {
    }

    DocumentText read()
    {
        // The shared strings come after the worksheets in many workbooks, so they are read in a pass of their own.
        const bool anyPart = forEachPart([&](Part part, ArchiveHandle& handle) {
            if (part.kind == PartKind::SharedStrings)
                readSharedStrings(handle);
        });
        if (!anyPart) {
            m_result.notADocument = !m_result.encrypted && !m_result.damaged;
            return std::move(m_result);
        }
        forEachPart([&](Part part, ArchiveHandle& handle) {
            if (part.kind != PartKind::SharedStrings)
                readPart(part, handle);
        });
        m_result.cutAtLimit = m_result.cutAtLimit || m_scratch.cut();
        m_result.text = inPartOrder();
        return std::move(m_result);
    }

private:
    // Calls `use` for each entry that is a content part, in archive order; false when there was none.
    template <typename Use> bool forEachPart(Use use)
    {
        ArchiveHandle handle(m_fd, ArchiveFormats::Archives);
        if (!handle.opened()) {
            m_result.damaged = true;
            return false;
        }
        bool found = false;
        archive_entry* entry = nullptr;
        int status = ARCHIVE_OK;
        while ((status = archive_read_next_header(handle.get(), &entry)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
            if (m_cancel && m_cancel->load(std::memory_order_relaxed))
                return found;
            const char* name = archive_entry_pathname(entry);
            const auto part = name ? partNamed(name) : std::nullopt;
            if (!part)
                continue;
            found = true;
            if (archive_entry_is_encrypted(entry))
                m_result.encrypted = true;
            else
                use(*part, handle);
        }
        if (status != ARCHIVE_EOF)
            m_result.damaged = true;
        return found;
    }

    void readSharedStrings(ArchiveHandle& handle)
    {
        XmlTextFormat format;
        format.rules = kSharedStringRules;
        format.onItemEnd = [this] { m_sharedStrings.endItem(); };
        extract(handle, format, m_sharedStrings.writer());
        m_result.cutAtLimit = m_result.cutAtLimit || m_sharedStrings.writer().cut();
    }

    void readPart(Part part, ArchiveHandle& handle)
    {
        XmlTextFormat format;
        switch (part.kind) {
        case PartKind::OpenDocument:
            format.rules = kOpenDocumentRules;
            format.collapseWhitespace = true;
            break;
        case PartKind::WordDocument:
            format.rules = kWordRules;
            break;
        case PartKind::Slide:
            format.rules = kSlideRules;
            break;
        default:
            format.rules = kSheetRules;
            format.sharedString = [this](std::string_view index) { return m_sharedStrings.at(index); };
            break;
        }
        const uint64_t start = m_scratch.size();
        extract(handle, format, m_scratch);
        m_ranges.push_back({ part, start, m_scratch.size() });
    }

    void extract(ArchiveHandle& handle, const XmlTextFormat& format, MemoryFileWriter& out)
    {
        EntryInput input(handle, m_limits, m_cancel);
        const bool wellFormed = extractXmlText(std::ref(input), format, out);
        m_result.cutAtLimit = m_result.cutAtLimit || input.cut() || out.cut();
        if (!input.cut() && (input.damaged() || !wellFormed))
            m_result.damaged = true;
    }

    // The parts' texts in slide and sheet order (they were written in archive order).
    std::optional<UniqueFd> inPartOrder()
    {
        auto byOrder = [](const TextRange& a, const TextRange& b) { return a.part.order < b.part.order; };
        if (std::is_sorted(m_ranges.begin(), m_ranges.end(), byOrder) || !m_scratch.flush())
            return m_scratch.take();
        std::stable_sort(m_ranges.begin(), m_ranges.end(), byOrder);
        MemoryFileWriter ordered(m_limits.maxExpandedBytes);
        std::vector<char> block(64 * 1024);
        for (const TextRange& range : m_ranges) {
            for (uint64_t at = range.start; at < range.end;) {
                const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(block.size(), range.end - at));
                const ssize_t got = ::pread(m_scratch.fd(), block.data(), want, static_cast<off_t>(at));
                if (got <= 0)
                    return std::nullopt;
                ordered.append(std::string_view(block.data(), static_cast<std::size_t>(got)));
                at += static_cast<uint64_t>(got);
            }
        }
        return ordered.take();
    }

    int m_fd;
    const ContainerLimits& m_limits;
    const std::atomic<bool>* m_cancel;
    MemoryFileWriter m_scratch;
    SharedStrings m_sharedStrings;
    std::vector<TextRange> m_ranges;
    DocumentText m_result;
};

} // namespace

DocumentText officeDocumentText(int fd, const ContainerLimits& limits, const std::atomic<bool>* cancel)
{
    return OfficeReader(fd, limits, cancel).read();
}

} // namespace vellick
