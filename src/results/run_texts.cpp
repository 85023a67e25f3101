#include "results/run_texts.h"

#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace vellick {

namespace {
constexpr std::size_t kLongDirectory = 32;

std::string shortenedDirectory(std::string_view directory)
{
    if (directory.size() <= kLongDirectory)
        return std::string(directory);
    const std::size_t slash = directory.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return std::string(directory);
    return "..." + std::string(directory.substr(slash));
}

std::string counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Whole gigabytes, megabytes or kilobytes where the count is one, else bytes: "1 MB", "64 KB", "1500 bytes".
std::string byteCountText(int64_t size)
{
    constexpr std::pair<int, const char*> kUnits[] = { { 30, " GB" }, { 20, " MB" }, { 10, " KB" } };
    for (const auto& [shift, unit] : kUnits) {
        const int64_t unitSize = int64_t { 1 } << shift;
        if (size >= unitSize && size % unitSize == 0)
            return std::to_string(size / unitSize) + unit;
    }
    return counted(static_cast<std::size_t>(size), "byte", "bytes");
}

// The local date, with the time of day when the moment is not a day's start ("7d" counts from now).
std::string momentText(int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local {};
    if (!localtime_r(&time, &local))
        return std::to_string(seconds);
    char text[64];
    const bool dayStart = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    std::strftime(text, sizeof text, dayStart ? "%Y-%m-%d" : "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string sizeRangeText(const SearchScope& scope)
{
    if (scope.minSize && scope.maxSize)
        return "size " + byteCountText(*scope.minSize) + " to " + byteCountText(*scope.maxSize);
    if (scope.minSize)
        return "size \u2265 " + byteCountText(*scope.minSize);
    return "size \u2264 " + byteCountText(*scope.maxSize);
}

std::string dateRangeText(const SearchScope& scope)
{
    if (scope.modifiedAfter && scope.modifiedBefore)
        return "modified since " + momentText(*scope.modifiedAfter) + " and before "
            + momentText(*scope.modifiedBefore);
    if (scope.modifiedAfter)
        return "modified since " + momentText(*scope.modifiedAfter);
    return "modified before " + momentText(*scope.modifiedBefore);
}
} // namespace

std::string folderProgressText(unsigned checkedCount, std::string_view directory)
{
    std::string text;
    if (checkedCount > 1)
        text = "(" + std::to_string(checkedCount) + " files checked) ";
    return text + "Searching: " + shortenedDirectory(directory);
}

std::string fileProgressText(std::string_view path)
{
    return "Searching " + std::string(path.substr(0, 200)) + " ";
}

std::string summaryText(int foundCount, unsigned checkedCount, int64_t elapsedSeconds)
{
    std::string text;
    if (foundCount == 0)
        text = "No file found ";
    else if (foundCount == 1)
        text = "1 file found ";
    else
        text = std::to_string(foundCount) + " files found ";
    text += "(" + std::to_string(checkedCount) + (checkedCount <= 1 ? " file checked)." : " files checked).");
    char time[64];
    std::snprintf(time, sizeof time, "time spent: %02lld:%02lld:%02lld", static_cast<long long>(elapsedSeconds / 3600),
        static_cast<long long>(elapsedSeconds % 3600 / 60), static_cast<long long>(elapsedSeconds % 60));
    return text + time;
}

std::string scopeSummaryText(const SearchScope& scope)
{
    std::vector<std::string> parts;
    if (!scope.excludedFolders.empty())
        parts.push_back(counted(scope.excludedFolders.size(), "folder excluded", "folders excluded"));
    if (scope.minSize || scope.maxSize)
        parts.push_back(sizeRangeText(scope));
    if (scope.modifiedAfter || scope.modifiedBefore)
        parts.push_back(dateRangeText(scope));
    if (!scope.binaryFiles)
        parts.push_back("binary files skipped");
    if (scope.gitignore)
        parts.push_back("git-ignored files skipped");
    if (scope.filesWithoutHits)
        parts.push_back("files without hits");
    if (scope.documents)
        parts.push_back("inside documents and archives");
    if (parts.empty())
        return {};
    std::string text = " (scope: " + parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        text += ", " + parts[i];
    return text + ")";
}

} // namespace vellick
