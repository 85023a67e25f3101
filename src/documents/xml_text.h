#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vellick {

class MemoryFileWriter;

// What an element does to the text, matched by its local name (so prefixes and the strict variants of a
// format's namespaces do not matter).
enum class XmlElementRole {
    TextHolder, // its text nodes are taken (text anywhere else, such as indentation, is not)
    Paragraph, // a text holder that ends a line (inside a table cell: a space)
    ParagraphEnd, // ends a line (inside a table cell: a space)
    Tab, // a tab character
    LineBreak, // a line feed
    Spaces, // as many spaces as its "c" attribute says (at least one)
    CellEnd, // cells of a row are joined by one tab; empty cells are left out
    RowEnd, // ends a line when the row had text; an empty row leaves none
    ItemEnd, // ends an entry of a list of strings (see XmlTextFormat::onItemEnd)
    Skipped, // the whole element is passed over
    SpreadsheetCell, // holds a value; its "t" attribute says whether the value is a shared string's index
};

struct XmlElementRule {
    std::string_view localName;
    XmlElementRole role;
};

struct XmlTextFormat {
    std::span<const XmlElementRule> rules;
    bool collapseWhitespace = false; // runs of blanks in text are one space (OpenDocument)
    std::function<void()> onItemEnd; // for ItemEnd
    std::function<std::string(std::string_view)> sharedString; // for a shared-string cell's value
};

// Streams one XML part through libxml2's reader into `out` by the format's rules. `read` fills a buffer and
// returns the bytes given, 0 at the end, or -1 on an error. Returns false when the XML was malformed (what
// came before the fault stays in `out`); never loads external entities or documents, never prints.
bool extractXmlText(const std::function<int(char*, int)>& read, const XmlTextFormat& format, MemoryFileWriter& out);

} // namespace vellick
