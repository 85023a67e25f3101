// Report lines of what was found inside documents and archives: the member's shown path, its size and the
// lines of its extracted text, as the list and the text pane show them.
#include "documents/test_archives.h"
#include "report/report_row.h"
#include "support/recording_sink.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

using namespace vellick::test;

TEST(InsideReportTest, MemberAndDocumentLinesCarryTheShownPathAndTheExtractedLines)
{
    TempTree tree;
    const std::string inner = buildArchive(ArchiveFormat::Tar, { { "deep/n.txt", "x\nnested alpha\n" } });
    tree.write(
        "box.zip", buildArchive(ArchiveFormat::Zip, { { "docs/a.txt", "one\nalpha two\n" }, { "in.tar", inner } }));
    tree.write("doc.odt",
        zipOf({ { "mimetype", "application/vnd.oasis.opendocument.text" },
            { "content.xml",
                "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>"
                "<text:p>first</text:p><text:p>alpha, said the document</text:p></office:text></office:body>"
                "</office:document-content>" } }));
    TreeSearch search;
    PanelInput input = TreeSearch::panel(tree.root(), "alpha");
    input.scope.documents = true;
    ASSERT_TRUE(search.run(input));
    ASSERT_EQ(search.doc().rowCount(), 3);

    const std::string sep(kMemberSeparator);
    const std::string expected[] = {
        tree.path("box.zip") + sep + "docs/a.txt,14\r\n    line    2: alpha two\r\n\r\n",
        tree.path("box.zip") + sep + "in.tar" + sep + "deep/n.txt,15\r\n    line    2: nested alpha\r\n\r\n",
        tree.path("doc.odt") + "," + std::to_string(test::readFile(tree.path("doc.odt")).size())
            + "\r\n    line    2: alpha, said the document\r\n\r\n",
    };
    ReportSettings settings { ReportFormat::PlainText, {}, true };
    settings.options.includePath = true;
    settings.options.includeSize = true;
    settings.options.includeContext = true;
    const KeywordList keywords("alpha", IgnoreCase);
    for (int row = 0; row < 3; ++row) {
        RecordingSink messages;
        CLine& line = search.doc().record(search.doc().recordAtRow(row));
        EXPECT_EQ(reportRowText(line, settings, keywords, messages), expected[row]) << row;
        EXPECT_TRUE(messages.messages.empty());
    }
}

} // namespace
} // namespace vellick
