// How CLine's hits group into display lines, and the text of each line.
#include "results/cline.h"

#include <algorithm>

namespace vellick {

std::vector<DisplayLine> CLine::displayLines() const
{
    std::vector<DisplayLine> lines;
    if (m_contextState != ContextState::Loaded)
        return lines;
    std::size_t first = 0;
    while (first < hitCount()) {
        // Characters from the start of the first hit to the end of its context.
        const auto reach = static_cast<int64_t>(m_hits[first].context.size()) - m_hits[first].contextPosition;
        std::size_t next = first + 1;
        while (next < hitCount()
            && static_cast<int64_t>(m_hits[next].offset + m_hits[next].length - m_hits[first].offset) <= reach)
            ++next;
        lines.push_back({ first, next });
        first = next;
    }
    return lines;
}

namespace {
// A number right-aligned in at least four characters, as "%4lu" gives it.
std::string rightAligned(uint64_t number)
{
    std::string text = std::to_string(number);
    if (text.size() < 4)
        text.insert(0, 4 - text.size(), ' ');
    return text;
}
} // namespace

std::string CLine::lineNumberPrefix(std::size_t hit) const
{
    if (kind == FileKind::Text)
        return "line " + rightAligned(m_hits[hit].line + 1) + ": ";
    return rightAligned(m_hits[hit].offset) + ": ";
}

std::string CLine::displayLineText(const DisplayLine& line, bool showLineNumbers) const
{
    if (!showLineNumbers)
        return m_hits[line.firstHit].context;
    return lineNumberPrefix(line.firstHit) + m_hits[line.firstHit].context;
}

std::string CLine::BuildDisplayLine(std::size_t n, bool showLineNumbers) const
{
    const std::vector<DisplayLine> lines = displayLines();
    return n < lines.size() ? displayLineText(lines[n], showLineNumbers) : std::string();
}

std::vector<KeywordSpan> CLine::keywordSpans(const DisplayLine& line) const
{
    std::vector<KeywordSpan> spans;
    const std::size_t first = line.firstHit;
    const std::size_t contextSize = m_hits[first].context.size();
    for (std::size_t hit = first; hit < line.hitEnd; ++hit) {
        // A member's place in the context follows from its distance to the first hit: the context is a
        // byte-for-byte copy of the file.
        const std::size_t start = std::min<std::size_t>(
            m_hits[first].contextPosition + (m_hits[hit].offset - m_hits[first].offset), contextSize);
        const std::size_t end = std::min<std::size_t>(start + m_hits[hit].length, contextSize);
        if (!spans.empty() && start <= spans.back().end)
            spans.back().end = std::max(spans.back().end, end);
        else if (start < end)
            spans.push_back({ start, end });
    }
    return spans;
}

} // namespace vellick
