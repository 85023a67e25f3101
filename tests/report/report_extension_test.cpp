#include "report/report_extension.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

TEST(ReportExtensionTest, ReplacesTheNamesLastExtensionOrAppends)
{
    EXPECT_EQ(withReportExtension("/home/u/result.csv", ReportFormat::PlainText), "/home/u/result.txt");
    EXPECT_EQ(withReportExtension("/home/u/result.txt", ReportFormat::Csv), "/home/u/result.csv");
    EXPECT_EQ(withReportExtension("/home/u/a.b.c", ReportFormat::Import), "/home/u/a.b.txt");
    EXPECT_EQ(withReportExtension("/home/u/result", ReportFormat::Csv), "/home/u/result.csv");
    // A dot in a folder name does not count.
    EXPECT_EQ(withReportExtension("/home/u.v/result", ReportFormat::PlainText), "/home/u.v/result.txt");
    EXPECT_EQ(withReportExtension("result.", ReportFormat::Csv), "result.csv");
    EXPECT_EQ(withReportExtension("plain", ReportFormat::Import), "plain.txt");
}

} // namespace
} // namespace vellick
