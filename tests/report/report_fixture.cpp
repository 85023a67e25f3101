#include "report/report_fixture.h"

#include "support/cline_fields.h"

#include <algorithm>

namespace vellick::test {

ReportFixture::ReportFixture()
{
    addFile("Notes.txt", "Some alpha text here\r\nnothing\r\nthe \"beta\" word and alpha\r\n", FileKind::Text,
        { 2048, 931097109 }, "Text Document");
    addFile("data.bin", std::string(300, '\0') + "alpha\x01\x02\x03\x04zz", FileKind::Binary, { 1025, 946729800 },
        "Binary Data");
    addFile("gone.txt", "a beta line\n", FileKind::Text, { 1024, 946686600 }, "");
    m_tree.setModified("gone.txt", 946686601); // touched after the search
}

int ReportFixture::addFile(
    const std::string& name, const std::string& content, FileKind kind, FileStatus status, const std::string& typeName)
{
    const std::string path = m_tree.write(name, content);
    m_tree.setModified(name, status.modified);
    const int index = m_doc.addRecord(path, kind, status);
    CLine& line = m_doc.record(index);
    line.typeName = typeName;
    const std::string keywords[] = { "alpha", "beta" };
    std::vector<Hit> hits;
    for (uint8_t pattern = 0; pattern < 2; ++pattern) {
        const std::string& keyword = keywords[pattern];
        for (auto pos = content.find(keyword); pos != std::string::npos; pos = content.find(keyword, pos + 1)) {
            const auto end = content.begin() + static_cast<std::ptrdiff_t>(pos + keyword.size());
            const auto lineFeeds = kind == FileKind::Text ? std::count(content.begin(), end, '\n') : 0;
            hits.push_back(
                testHit(static_cast<uint64_t>(lineFeeds), pos, static_cast<uint32_t>(keyword.size()), pattern));
        }
    }
    // In offset order, as a scan gives them.
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
    for (const Hit& hit : hits)
        line.appendHit(hit);
    return index;
}

std::string ReportFixture::report(const ReportSettings& settings, const KeywordList& keywords)
{
    const std::string path = m_tree.path("report.out");
    EXPECT_EQ(WriteReport(path, everyRow(m_doc), keywords, settings, m_messages), ReportStatus::Written);
    std::string bytes = readFile(path);
    for (auto pos = bytes.find(m_tree.root()); pos != std::string::npos; pos = bytes.find(m_tree.root(), pos))
        bytes.replace(pos, m_tree.root().size(), "/ROOT");
    return bytes;
}

ReportOptions ReportFixture::allColumns()
{
    ReportOptions options;
    options.includePath = true;
    options.includeType = true;
    options.includeSize = true;
    options.includeModified = true;
    options.includeContext = true;
    options.includeKeywords = true;
    return options;
}

} // namespace vellick::test
