#include "documents/xml_text.h"

#include "documents/memory_file.h"

#include <algorithm>
#include <charconv>
#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <memory>
#include <mutex>

namespace vellick {

namespace {

constexpr int kMaxSpaces = 256; // a text:s with a huge count must not flood the text

void ignoreStructuredError(void*, xmlErrorPtr)
{
}
void ignoreGenericError(void*, const char*, ...)
{
}

void countError(void* errors, xmlErrorPtr error)
{
    if (error && error->level >= XML_ERR_ERROR)
        ++*static_cast<int*>(errors);
}

void silenceLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    // Both handlers are per thread in libxml2, so every thread that reads sets them.
    xmlSetStructuredErrorFunc(nullptr, ignoreStructuredError);
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
}

int readThrough(void* context, char* buffer, int length)
{
    return (*static_cast<const std::function<int(char*, int)>*>(context))(buffer, length);
}

int closeNothing(void*)
{
    return 0;
}

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

struct FreeReader {
    void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
};

// An attribute by its local name, whatever its prefix ("text:c" and "c" alike).
std::string attribute(xmlTextReaderPtr reader, std::string_view localName)
{
    std::string value;
    for (int more = xmlTextReaderMoveToFirstAttribute(reader); more == 1;
         more = xmlTextReaderMoveToNextAttribute(reader)) {
        if (view(xmlTextReaderConstLocalName(reader)) == localName) {
            value = view(xmlTextReaderConstValue(reader));
            break;
        }
    }
    xmlTextReaderMoveToElement(reader);
    return value;
}

// The text being built: tracks where it stands in a table so that separators come only between contents.
class TextBuilder {
public:
    TextBuilder(const XmlTextFormat& format, MemoryFileWriter& out)
        : m_format(format)
        , m_out(out)
    {
    }

    void text(std::string_view bytes)
    {
        if (bytes.empty())
            return;
        if (m_format.collapseWhitespace)
            return collapsed(bytes);
        flushPending();
        m_out.append(bytes);
        m_lastWasBlank = false;
    }
    void literal(std::string_view bytes)
    {
        flushPending();
        m_out.append(bytes);
        m_lastWasBlank = true;
    }
    void paragraphEnd()
    {
        if (m_cellDepth > 0)
            m_pendingSpace = m_cellHasText;
        else
            literal("\n");
    }
    void cellStart() { ++m_cellDepth, m_cellHasText = false, m_pendingSpace = false; }
    void cellEnd()
    {
        m_cellDepth = std::max(0, m_cellDepth - 1);
        m_pendingTab = m_pendingTab || m_cellHasText;
        m_pendingSpace = false;
    }
    void rowEnd()
    {
        if (m_rowHasText)
            m_out.append("\n");
        m_rowHasText = m_pendingTab = m_pendingSpace = false;
    }

private:
    void collapsed(std::string_view bytes)
    {
        for (const char c : bytes) {
            const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
            if (blank && m_lastWasBlank)
                continue;
            flushPending();
            const char out = blank ? ' ' : c;
            m_out.append(std::string_view(&out, 1));
            m_lastWasBlank = blank;
        }
    }
    void flushPending()
    {
        if (m_cellDepth > 0 || m_pendingTab) {
            if (m_pendingTab && m_rowHasText)
                m_out.append("\t");
            else if (m_pendingSpace)
                m_out.append(" ");
            m_pendingTab = m_pendingSpace = false;
            m_rowHasText = m_cellHasText = true;
        }
    }

    const XmlTextFormat& m_format;
    MemoryFileWriter& m_out;
    int m_cellDepth = 0;
    bool m_cellHasText = false;
    bool m_rowHasText = false;
    bool m_pendingTab = false;
    bool m_pendingSpace = false;
    bool m_lastWasBlank = true;
};

class XmlWalk {
public:
    XmlWalk(xmlTextReaderPtr reader, const XmlTextFormat& format, MemoryFileWriter& out)
        : m_reader(reader)
        , m_format(format)
        , m_text(format, out)
    {
    }

    // 1 to go on, 0 at the end, -1 on malformed XML.
    int step()
    {
        switch (xmlTextReaderNodeType(m_reader)) {
        case XML_READER_TYPE_ELEMENT:
            return startElement();
        case XML_READER_TYPE_END_ELEMENT:
            endElement(roleOf(view(xmlTextReaderConstLocalName(m_reader))));
            break;
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
            if (m_textDepth > 0)
                takeText(view(xmlTextReaderConstValue(m_reader)));
            break;
        default:
            break;
        }
        return xmlTextReaderRead(m_reader);
    }

private:
    const XmlElementRule* roleOf(std::string_view name) const
    {
        const auto found = std::find_if(m_format.rules.begin(), m_format.rules.end(),
            [&](const XmlElementRule& rule) { return rule.localName == name; });
        return found == m_format.rules.end() ? nullptr : &*found;
    }

    int startElement()
    {
        const XmlElementRule* rule = roleOf(view(xmlTextReaderConstLocalName(m_reader)));
        if (rule && rule->role == XmlElementRole::Skipped)
            return xmlTextReaderNext(m_reader);
        if (rule)
            startRole(*rule);
        if (rule && xmlTextReaderIsEmptyElement(m_reader))
            endElement(rule);
        return xmlTextReaderRead(m_reader);
    }

    void startRole(const XmlElementRule& rule)
    {
        switch (rule.role) {
        case XmlElementRole::TextHolder:
        case XmlElementRole::Paragraph:
            ++m_textDepth;
            break;
        case XmlElementRole::Tab:
            m_text.literal("\t");
            break;
        case XmlElementRole::LineBreak:
            m_text.literal("\n");
            break;
        case XmlElementRole::Spaces:
            m_text.literal(std::string(static_cast<std::size_t>(spaceCount()), ' '));
            break;
        case XmlElementRole::SpreadsheetCell:
            m_sharedStringCell = attribute(m_reader, "t") == "s";
            m_text.cellStart();
            break;
        case XmlElementRole::CellEnd:
            m_text.cellStart();
            break;
        default:
            break;
        }
    }

    void endElement(const XmlElementRule* rule)
    {
        if (!rule)
            return;
        switch (rule->role) {
        case XmlElementRole::TextHolder:
            m_textDepth = std::max(0, m_textDepth - 1);
            break;
        case XmlElementRole::Paragraph:
            m_textDepth = std::max(0, m_textDepth - 1);
            m_text.paragraphEnd();
            break;
        case XmlElementRole::ParagraphEnd:
            m_text.paragraphEnd();
            break;
        case XmlElementRole::SpreadsheetCell:
            m_sharedStringCell = false;
            m_text.cellEnd();
            break;
        case XmlElementRole::CellEnd:
            m_text.cellEnd();
            break;
        case XmlElementRole::RowEnd:
            m_text.rowEnd();
            break;
        case XmlElementRole::ItemEnd:
            if (m_format.onItemEnd)
                m_format.onItemEnd();
            break;
        default:
            break;
        }
    }

    void takeText(std::string_view text)
    {
        if (m_sharedStringCell && m_format.sharedString)
            m_text.text(m_format.sharedString(text));
        else
            m_text.text(text);
    }

    int spaceCount() const
    {
        const std::string count = attribute(m_reader, "c");
        int value = 1;
        std::from_chars(count.data(), count.data() + count.size(), value);
        return std::clamp(value, 1, kMaxSpaces);
    }

    xmlTextReaderPtr m_reader;
    const XmlTextFormat& m_format;
    TextBuilder m_text;
    int m_textDepth = 0;
    bool m_sharedStringCell = false;
};

} // namespace

bool extractXmlText(const std::function<int(char*, int)>& read, const XmlTextFormat& format, MemoryFileWriter& out)
{
    silenceLibxml();
    // No entity substitution, no DTD loading, no network: the parser never reaches outside the part.
    // Recovery keeps the text after a fault too (an office file saved by a careless writer is still read);
    // any error makes the result count as damaged.
    const int options
        = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT | XML_PARSE_RECOVER;
    std::unique_ptr<xmlTextReader, FreeReader> reader(xmlReaderForIO(
        readThrough, closeNothing, const_cast<std::function<int(char*, int)>*>(&read), nullptr, nullptr, options));
    if (!reader)
        return false;
    int errors = 0;
    xmlTextReaderSetStructuredErrorHandler(reader.get(), countError, &errors);
    XmlWalk walk(reader.get(), format, out);
    int status = xmlTextReaderRead(reader.get());
    while (status == 1 && !out.cut() && !out.failed())
        status = walk.step();
    return (status == 0 && errors == 0) || out.cut();
}

} // namespace vellick
