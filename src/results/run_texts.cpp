#include "results/run_texts.h"

#include <cstdio>

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

} // namespace vellick
