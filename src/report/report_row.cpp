#include "report/report_row.h"

#include "results/cline.h"
#include "results/message_sink.h"
#include "results/record_texts.h"
#include "search/keyword_list.h"
#include "search/search_options.h"

#include <algorithm>
#include <limits>

namespace vellick {

namespace {

constexpr const char* kNotAvailable = "NOT AVAILABLE !";
constexpr const char* kMoreLines = "... more lines (limited by Excel)";
constexpr std::size_t kCsvLineLimit = 100;

// How each format frames the surrounding text.
struct ContextFraming {
    std::string_view opening;
    std::string_view separator;
    std::string_view closing;
    bool apostrophes; // double quotes would end the quoted field
    std::size_t lineLimit;
};

ContextFraming framingOf(ReportFormat format)
{
    constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();
    switch (format) {
    case ReportFormat::Csv:
        return { ",\"", "\n", "\"", true, kCsvLineLimit };
    case ReportFormat::Import:
        return { ",\"", "; ", "\"", true, unlimited };
    case ReportFormat::PlainText:
        break;
    }
    return { "\r\n    ", "\r\n    ", "\r\n", false, unlimited };
}

std::string withApostrophes(std::string text)
{
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

// The display lines joined by the separator, at most the format's limit of them.
std::string contextLines(const CLine& line, const std::vector<DisplayLine>& lines, const ReportSettings& settings,
    const ContextFraming& framing)
{
    std::string text;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n > 0)
            text += framing.separator;
        if (n == framing.lineLimit) {
            text += kMoreLines;
            break;
        }
        text += line.displayLineText(lines[n], settings.showLineNumbers);
    }
    return framing.apostrophes ? withApostrophes(std::move(text)) : text;
}

} // namespace

std::string reportHeader(const ReportOptions& options)
{
    std::string header = "File Name";
    if (options.includeType)
        header += ",File Type";
    if (options.includeSize)
        header += ",File Size";
    if (options.includeModified)
        header += ",Modified";
    if (options.includeHits)
        header += ",Hits";
    if (options.includeKeywords)
        header += ",Keywords";
    if (options.includeContext)
        header += ",Surrounding Text";
    return header + "\r\n";
}

std::string reportKeywordsText(const CLine& line, const KeywordList& keywords)
{
    std::string text;
    if (keywords.flags() & WholePhrase) {
        if (keywords.count() > 0)
            text = keywords.pattern(0);
    } else if ((keywords.flags() & AllWords) || keywords.count() == 1) {
        for (std::size_t k = 0; k < keywords.count(); ++k)
            text += (k > 0 ? " " : "") + keywords.pattern(k);
    } else {
        const std::array<bool, 100> hit = line.keywordsHit();
        for (std::size_t k = 0; k < keywords.count() && k < hit.size(); ++k) {
            if (hit[k])
                text += keywords.pattern(k) + " ";
        }
    }
    return withApostrophes(std::move(text));
}

std::string reportContextColumn(CLine& line, const ReportSettings& settings, MessageSink& messages)
{
    const ContextFraming framing = framingOf(settings.format);
    std::vector<DisplayLine> lines;
    if (line.LoadContexts(messages))
        lines = line.displayLines();
    std::string column(framing.opening);
    column += lines.empty() ? std::string(kNotAvailable) : contextLines(line, lines, settings, framing);
    column += framing.closing;
    return column;
}

std::string reportRowText(
    CLine& line, const ReportSettings& settings, const KeywordList& keywords, MessageSink& messages)
{
    const ReportOptions& options = settings.options;
    std::string row(options.includePath ? std::string_view(line.path) : line.fileName());
    if (options.includeType)
        row += "," + line.typeName;
    if (options.includeSize)
        row += "," + sizeText(line.size);
    if (options.includeModified)
        row += "," + modifiedText(line.modified, true);
    if (options.includeHits)
        row += "," + hitCountText(line.hitCount(), line.hitLimitReached);
    if (options.includeKeywords) {
        row += settings.format == ReportFormat::PlainText ? "\nKeywords: \"" : ",\"";
        row += reportKeywordsText(line, keywords) + "\"";
    }
    if (options.includeContext)
        row += reportContextColumn(line, settings, messages);
    return row + "\r\n";
}

} // namespace vellick
