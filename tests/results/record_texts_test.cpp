#include "results/record_texts.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace vellick {
namespace {

TEST(RecordTextsTest, SizeInBytesUpTo1024ThenWholeKilobytes)
{
    EXPECT_EQ(sizeText(0), "0");
    EXPECT_EQ(sizeText(1024), "1024");
    EXPECT_EQ(sizeText(1025), "1KB");
    EXPECT_EQ(sizeText(2047), "1KB");
    EXPECT_EQ(sizeText(2048), "2KB");
    EXPECT_EQ(sizeText(5LL << 30), "5242880KB");
}

// The tests run with TZ=UTC.
TEST(RecordTextsTest, TimeWithoutLeadingZerosOnA12HourClock)
{
    EXPECT_EQ(modifiedText(931097109, true), "7/4/1999 2:5:9 PM");
    EXPECT_EQ(modifiedText(931097109, false), "7/4/1999 2:5 PM");
    EXPECT_EQ(modifiedText(946729800, true), "1/1/2000 12:30:0 PM"); // noon
    EXPECT_EQ(modifiedText(946686600, true), "1/1/2000 12:30:0 AM"); // half past midnight
    EXPECT_EQ(modifiedText(946686600, false), "1/1/2000 12:30 AM");
    EXPECT_EQ(modifiedText(2214172799, true), "2/29/2040 11:59:59 PM"); // after 2038
    EXPECT_EQ(modifiedText(0, false), "1/1/1970 12:0 AM");
}

TEST(RecordTextsTest, TimeIsLocal)
{
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    ::setenv("TZ", "EST5", 1);
    ::tzset();
    const std::string text = modifiedText(931097109, true);
    if (previous)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(text, "7/4/1999 9:5:9 AM");
}

} // namespace
} // namespace vellick
