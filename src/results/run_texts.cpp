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

std::string insideProblemsText(unsigned problems)
{
    if (problems == 0)
        return {};
    return problems == 1 ? " 1 problem inside documents or archives."
                         : " " + std::to_string(problems) + " problems inside documents or archives.";
}

std::string insideProblemText(std::string_view path, const ContainerNotice& notice)
{
    std::string text(path);
    if (!notice.memberPath.empty())
        text.append(kMemberSeparator).append(notice.memberPath);
    switch (notice.problem) {
    case ContainerProblem::Encrypted:
        return text + ": encrypted, skipped";
    case ContainerProblem::Damaged:
        return text + ": damaged, read as far as it could be";
    case ContainerProblem::TooDeep:
        return text + ": archive nested too deeply, skipped";
    case ContainerProblem::CutAtLimit:
        return text + ": expands too far, searched up to the limit";
    case ContainerProblem::Unreadable:
        break;
    }
    return text + ": could not be read, skipped";
}

} // namespace vellick
