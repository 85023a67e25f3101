#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellick {

// How a found file's size and time are written, alike in the result list and in reports.

// The size in bytes up to 1024, above that the whole kilobytes with "KB": 1024, 1KB, 2KB.
std::string sizeText(int64_t size);

// The number of hits recorded for a file, with "+" when the scan stopped at the per-file hit limit:
// 12, 1024+.
std::string hitCountText(std::size_t hits, bool limitReached);

// The local time of `seconds` (since 1970, UTC) as month/day/year hour:minute on a 12-hour clock with
// " AM" or " PM", no number with leading zeros: 7/4/1999 2:5 PM. With seconds: 7/4/1999 2:5:9 PM.
// Empty when the time cannot be converted.
std::string modifiedText(int64_t seconds, bool withSeconds);

} // namespace vellick
