#include "cli/found_printer.h"

#include "cli/json_writer.h"
#include "cli/output_writer.h"
#include "results/cline.h"
#include "results/record_texts.h"

namespace vellick {

namespace {

constexpr std::string_view kRed = "\033[1;31m";
constexpr std::string_view kColorEnd = "\033[0m";

// A display line's context, its keywords in red when `color` is on.
std::string coloredContext(const CLine& line, const DisplayLine& displayLine, bool color)
{
    const std::string& context = line.hit(displayLine.firstHit).context;
    if (!color)
        return context;
    std::string text;
    std::size_t done = 0;
    for (const KeywordSpan& span : line.keywordSpans(displayLine)) {
        text.append(context, done, span.start - done);
        text.append(kRed);
        text.append(context, span.start, span.end - span.start);
        text.append(kColorEnd);
        done = span.end;
    }
    return text.append(context, done);
}

} // namespace

FoundPrinter::FoundPrinter(Style style, OutputWriter& out, MessageSink& messages)
    : m_style(std::move(style))
    , m_out(out)
    , m_messages(messages)
{
}

std::string FoundPrinter::shownPath(std::string_view path) const
{
    const std::string& root = m_style.relativeTo;
    if (root.empty() || path.substr(0, root.size()) != root)
        return std::string(path);
    if (root.back() == '/')
        return std::string(path.substr(root.size()));
    if (path.size() > root.size() && path[root.size()] == '/')
        return std::string(path.substr(root.size() + 1));
    return std::string(path);
}

void FoundPrinter::print(CLine& line)
{
    const std::string path = shownPath(line.path);
    switch (m_style.mode) {
    case OutputMode::Paths:
        m_out.write(path + "\n");
        break;
    case OutputMode::Counts:
        m_out.write(path + ":" + hitCountText(line.hitCount(), line.hitLimitReached) + "\n");
        break;
    case OutputMode::Lines:
        printLines(line, path);
        break;
    case OutputMode::Json:
        m_out.write(hitsJson(line, path) + "\n");
        break;
    case OutputMode::Context:
        printContext(line, path);
        break;
    case OutputMode::Quiet:
        break;
    }
}

// PATH:LINE:TEXT per display line: the line number of a text file, the byte offset in a binary file (the
// window's prefix without its decoration).
void FoundPrinter::printLines(CLine& line, const std::string& path)
{
    m_out.flush(); // a loader message on stderr then follows the lines before it
    if (!line.LoadContexts(m_messages))
        return;
    for (const DisplayLine& displayLine : line.displayLines()) {
        const HitEntry& hit = line.hit(displayLine.firstHit);
        const uint64_t number = line.kind == FileKind::Text ? hit.line + 1 : hit.offset;
        m_out.write(
            path + ":" + std::to_string(number) + ":" + coloredContext(line, displayLine, m_style.color) + "\n");
    }
    line.dropContexts();
}

void FoundPrinter::printContext(CLine& line, const std::string& path)
{
    m_out.write(path + "\n");
    m_out.flush();
    if (line.LoadContexts(m_messages)) {
        for (const DisplayLine& displayLine : line.displayLines())
            m_out.write(line.displayLineText(displayLine, m_style.showLineNumbers) + "\n");
    }
    line.dropContexts();
}

} // namespace vellick
