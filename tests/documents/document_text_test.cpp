#include "documents/container_reader.h"
#include "documents/test_archives.h"

#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

const std::string kOdfHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0">
 <office:automatic-styles><number:number-style><number:text>STYLE</number:text></number:number-style></office:automatic-styles>
 <office:body>
)";
const std::string kOdfTail = "\n </office:body>\n</office:document-content>\n";

const std::string kWordHead = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>
)";
const std::string kMain = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
const std::string kDrawing = R"(xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main" )"
                             R"(xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")";

std::string slide(const std::string& text)
{
    return "<p:sld " + kDrawing + "><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:pPr><a:tabLst/></a:pPr><a:r><a:t>" + text
        + "</a:t></a:r><a:br/><a:r><a:t>next line</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
}

std::string sheet(const std::string& rows)
{
    return "<worksheet " + kMain + "><sheetData>" + rows + "</sheetData></worksheet>";
}

struct DocumentCase {
    const char* name;
    std::string zip;
    std::string text;
};

std::vector<DocumentCase> documentCases()
{
    return {
        { "odt: paragraphs, headings, spaces, tabs, breaks; styles left out",
            zipOf({ { "mimetype", "application/vnd.oasis.opendocument.text" },
                { "content.xml",
                    kOdfHead
                        + "<office:text>\n  <text:h>Title</text:h>\n  <text:p>one <text:span>two</text:span>"
                          "<text:s text:c=\"3\"/>three<text:tab/>four<text:line-break/>five\n   six</text:p>\n"
                          "  <text:p/>\n</office:text>"
                        + kOdfTail } }),
            "Title\none two   three\tfour\nfive six\n\n" },
        { "ods: a row per line, cells joined by tabs, empty cells and rows left out",
            zipOf({ { "content.xml",
                kOdfHead
                    + "<office:spreadsheet><table:table><table:table-row><table:table-cell><text:p>a1</text:p>"
                      "</table:table-cell><table:table-cell table:number-columns-repeated=\"9\"/><table:table-cell>"
                      "<text:p>c1</text:p><text:p>more</text:p></table:table-cell></table:table-row>"
                      "<table:table-row table:number-rows-repeated=\"1000\"><table:table-cell/></table:table-row>"
                      "<table:table-row><table:table-cell><text:p>a3</text:p></table:table-cell></table:table-row>"
                      "</table:table></office:spreadsheet>"
                    + kOdfTail } }),
            "a1\tc1 more\na3\n" },
        { "odp: frames' paragraphs",
            zipOf({ { "content.xml",
                kOdfHead
                    + "<office:presentation><draw:page><draw:frame><draw:text-box><text:p>slide one</text:p>"
                      "</draw:text-box></draw:frame></draw:page><draw:page><draw:frame><draw:text-box>"
                      "<text:p>slide two</text:p></draw:text-box></draw:frame></draw:page></office:presentation>"
                    + kOdfTail } }),
            "slide one\nslide two\n" },
        { "docx: runs, tabs (not tab stops), breaks, tables; deleted text and field codes left out",
            zipOf({ { "[Content_Types].xml", "<Types/>" },
                { "word/document.xml",
                    kWordHead
                        + "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                          "<w:r><w:t xml:space=\"preserve\">Hello </w:t></w:r><w:r><w:t>world</w:t><w:tab/>"
                          "<w:t>tabbed</w:t><w:br/><w:t>broken</w:t></w:r><w:del><w:r><w:delText>gone</w:delText>"
                          "</w:r></w:del><w:r><w:instrText>PAGE</w:instrText></w:r></w:p>\n"
                          "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>c1</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>c2"
                          "</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>after &amp; end</w:t></w:r></w:p>"
                          "</w:body></w:document>" } }),
            "Hello world\ttabbed\nbroken\nc1\tc2\nafter & end\n" },
        { "xlsx: shared strings (stored after the sheets), inline strings, numbers; sheets in their order",
            zipOf({ { "xl/worksheets/sheet2.xml", sheet("<row><c t=\"s\"><v>1</v></c></row>") },
                { "xl/worksheets/sheet1.xml",
                    sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><f>1+1</f><v>2</v></c>"
                          "<c t=\"inlineStr\"><is><t>inline</t></is></c><c t=\"s\"><v>99</v></c></row>") },
                { "xl/sharedStrings.xml",
                    "<sst " + kMain
                        + "><si><t>first</t></si><si><r><t>sec</t></r><r><t>ond</t></r><rPh><t>PH</t></rPh></si>"
                          "</sst>" } }),
            "first\t2\tinline\nsecond\n" },
        { "pptx: slides in their order, not the archive's",
            zipOf({ { "ppt/slides/slide10.xml", slide("ten") }, { "ppt/slides/slide2.xml", slide("two") },
                { "ppt/slides/slide1.xml", slide("one") } }),
            "one\nnext line\ntwo\nnext line\nten\nnext line\n" },
    };
}

} // namespace

TEST(DocumentTextTest, OfficeDocumentsGiveTheirTextWithLineRules)
{
    for (const DocumentCase& c : documentCases()) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readAll(c.zip, ContainerKind::OfficeDocument);
        ASSERT_EQ(result.members.size(), 1u);
        EXPECT_EQ(result.members[0].path, "");
        EXPECT_EQ(result.members[0].content, c.text);
        EXPECT_TRUE(result.notices.empty());
        const UniqueFd fd = memoryFileWith(c.zip);
        const auto again = extractMember(fd.get(), ContainerKind::OfficeDocument, "", {});
        ASSERT_TRUE(again);
        EXPECT_EQ(contentOf(again->get()), c.text);
    }
}

TEST(DocumentTextTest, BrokenOfficeDocuments)
{
    std::string paragraphs;
    for (int i = 0; i < 5000; ++i)
        paragraphs += "<text:p>word</text:p>";
    // The reader parses in pieces of some hundred bytes: text well before the fault is kept.
    const std::string content
        = kOdfHead + "<office:text><text:p>kept text</text:p>" + paragraphs + "<text:p>cut <b></text:p>";
    const std::string entityBomb
        = "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">"
          "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
        + kWordHead.substr(kWordHead.find("<w:document"))
        + "<w:p><w:r><w:t>x&c;y</w:t></w:r></w:p></w:body></w:document>";
    const std::string big = kOdfHead + "<office:text>" + paragraphs + "</office:text>" + kOdfTail;
    ContainerLimits small;
    small.maxExpandedBytes = 60000;
    const struct {
        const char* name;
        std::string zip;
        ContainerLimits limits;
        std::string text;
        ContainerProblem problem;
    } cases[] = {
        { "malformed XML keeps the text before the fault", zipOf({ { "content.xml", content } }), {},
            "kept text\nword\n", ContainerProblem::Damaged },
        { "nested entities are refused, not expanded", zipOf({ { "word/document.xml", entityBomb } }), {}, "",
            ContainerProblem::Damaged },
        { "a part past the limit is cut", zipOf({ { "content.xml", big } }), small, "word\nword\n",
            ContainerProblem::CutAtLimit },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readAll(c.zip, ContainerKind::OfficeDocument, c.limits);
        ASSERT_EQ(result.members.size(), 1u);
        EXPECT_TRUE(result.hasNotice("", c.problem));
        EXPECT_EQ(result.members[0].content.substr(0, c.text.size()), c.text);
        EXPECT_LE(result.members[0].content.size(), std::min<uint64_t>(c.limits.maxExpandedBytes, 100000));
    }
    // An office name on a zip without a content part: its members, as for any zip.
    const ReadResult plain = readAll(zipOf({ { "notes.txt", "just a zip" } }), ContainerKind::OfficeDocument);
    ASSERT_EQ(plain.members.size(), 1u);
    EXPECT_EQ(plain.members[0].path, "notes.txt");
}

TEST(DocumentTextTest, PdfPagesSeparatedByFormFeeds)
{
    const std::string pdf = pdfWithPages({ "First page words", "Second page: grüße" });
    if (pdf.empty())
        GTEST_SKIP() << "built without Qt Gui";
    ASSERT_EQ(containerKindOf("x.pdf", { reinterpret_cast<const unsigned char*>(pdf.data()), pdf.size() }),
        ContainerKind::Pdf);
    const ReadResult result = readAll(pdf, ContainerKind::Pdf);
    ASSERT_EQ(result.members.size(), 1u);
    const std::string& text = result.members[0].content;
    const auto feed = text.find('\f');
    ASSERT_NE(feed, std::string::npos);
    EXPECT_NE(text.substr(0, feed).find("First page words"), std::string::npos) << text;
    EXPECT_NE(text.substr(feed).find("Second page: grüße"), std::string::npos) << text;
    EXPECT_EQ(text.find('\f', feed + 1), std::string::npos) << ::testing::PrintToString(text);

    // Inside a zip, a PDF is read as a document too.
    const ReadResult zipped = readAll(zipOf({ { "docs/report.pdf", pdf } }), ContainerKind::Archive);
    ASSERT_EQ(zipped.members.size(), 1u);
    EXPECT_EQ(zipped.members[0].path, "docs/report.pdf");
    EXPECT_EQ(zipped.members[0].content, text);
    const UniqueFd fd = memoryFileWith(zipOf({ { "docs/report.pdf", pdf } }));
    const auto stored = extractMember(fd.get(), ContainerKind::Archive, "docs/report.pdf", {}, MemberContent::Stored);
    ASSERT_TRUE(stored);
    EXPECT_EQ(contentOf(stored->get()), pdf);
}

TEST(DocumentTextTest, UnparsablePdfsAreDamagedNotFatal)
{
    const std::string pdf = pdfWithPages({ "page" });
    const struct {
        const char* name;
        std::string bytes;
        bool damaged; // else: read, with no text
    } cases[] = {
        { "garbage after the header", "%PDF-1.7\n" + std::string(5000, '\xff'), true },
        { "cut short", pdf.substr(0, pdf.size() / 3), true },
        { "pages that point at themselves",
            "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 1 0 R >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes.size() < 100 && std::string(c.name) == "cut short")
            continue; // built without Qt Gui
        const ReadResult result = readAll(c.bytes, ContainerKind::Pdf);
        EXPECT_EQ(result.hasNotice("", ContainerProblem::Damaged), c.damaged);
        EXPECT_EQ(result.members.size(), c.damaged ? 0u : 1u);
        for (const ReadMember& member : result.members)
            EXPECT_EQ(member.content, "");
    }
}
