// Report lines of members of archives: the path column shows the member as the list does.
#include "report/report_row.h"
#include "results/cline.h"
#include "search/keyword_list.h"
#include "search/search_options.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

TEST(InsideReportTest, AMembersPathColumnIsItsShownPathAndADocumentsIsItsFile)
{
    const std::string sep(kMemberSeparator);
    const std::pair<std::string, std::string> cases[] = {
        { "in.tar" + sep + "d/x.txt", "/t/a.zip" + sep + "in.tar" + sep + "d/x.txt,14\r\n" },
        { "", "/t/a.zip,14\r\n" },
    };
    ReportSettings settings { ReportFormat::Csv, {}, true };
    settings.options.includePath = true;
    settings.options.includeSize = true;
    for (const auto& [member, expected] : cases) {
        CLine line("/t/a.zip");
        line.size = 14;
        line.setInside(member.empty() ? ContainerKind::OfficeDocument : ContainerKind::Archive, member, {}, false);
        test::RecordingSink messages;
        EXPECT_EQ(reportRowText(line, settings, KeywordList("alpha", IgnoreCase), messages), expected);
    }
}

} // namespace
} // namespace vellick
