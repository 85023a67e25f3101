#pragma once

#include "report/report_options.h"

#include <string>

namespace vellick {

class CLine;
class KeywordList;
class MessageSink;

// The texts of a report, one function per part of a row. The record is not const: the surrounding-text
// column loads its contexts (and may tell `messages` that its file changed).

// The comma-separated format's header line, CR LF included; the other formats have none.
std::string reportHeader(const ReportOptions& options);

// The keywords column's text, between its quotes: the phrase, every pattern, or the patterns that hit this
// file, as the last search's list holds them, with double quotes turned into apostrophes.
std::string reportKeywordsText(const CLine& line, const KeywordList& keywords);

// The surrounding-text column with its opening and closing: the display lines, or "NOT AVAILABLE !".
std::string reportContextColumn(CLine& line, const ReportSettings& settings, MessageSink& messages);

// One whole row, CR LF included.
std::string reportRowText(
    CLine& line, const ReportSettings& settings, const KeywordList& keywords, MessageSink& messages);

} // namespace vellick
