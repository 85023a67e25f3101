#pragma once

#include "search/search_scope.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellick {

// The texts that describe a search run's progress and end, shared by the window's status bar and
// vellick-cli.

inline constexpr const char* kSearchingText = "Searching ...";
inline constexpr const char* kStoppedMessage = "Search stopped before completion.";

// "(N files checked) Searching: DIR", the directory shortened to "..." and its last part when long.
std::string folderProgressText(unsigned checkedCount, std::string_view directory);

// "Searching PATH " with at most 200 bytes of the path (re-check of listed files).
std::string fileProgressText(std::string_view path);

// "12 files found (340 files checked).time spent: 00:00:03"
std::string summaryText(int foundCount, unsigned checkedCount, int64_t elapsedSeconds);

// What a scope that differs from the default leaves out, for the end of the summary, so that no one
// wonders why a file is missing: " (scope: 2 folders excluded, size ≤ 1 MB)". Empty for the default scope.
std::string scopeSummaryText(const SearchScope& scope);

} // namespace vellick
