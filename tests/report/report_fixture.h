#pragma once

#include "report/report_writer.h"
#include "results/vellick_doc.h"
#include "search/keyword_list.h"
#include "search/search_options.h"
#include "support/recording_sink.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace vellick::test {

// Three found files for reports: a text file whose hits make two display lines (one with a quote), a
// binary file, and a file changed since the search. Times and sizes are fixed, so reports are byte-stable.
class ReportFixture : public ::testing::Test {
protected:
    ReportFixture();

    // Adds a record for a file written with `content`, with a hit at each occurrence of each keyword.
    int addFile(const std::string& name, const std::string& content, FileKind kind, FileStatus status,
        const std::string& typeName);
    // Writes a report of every row and returns its bytes, with the tree's folder shown as "/ROOT".
    std::string report(const ReportSettings& settings, const KeywordList& keywords);

    static ReportOptions allColumns();

    TempTree m_tree;
    CVellickDoc m_doc;
    RecordingSink m_messages;
    const KeywordList m_allWords { "alpha beta", IgnoreCase | AllWords };
    const KeywordList m_anyWord { "alpha beta", IgnoreCase | AnyWord };
};

} // namespace vellick::test
