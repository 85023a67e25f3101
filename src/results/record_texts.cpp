#include "results/record_texts.h"

#include <ctime>

namespace vellick {

std::string sizeText(int64_t size)
{
    return size <= 1024 ? std::to_string(size) : std::to_string(size / 1024) + "KB";
}

std::string hitCountText(std::size_t hits, bool limitReached)
{
    return std::to_string(hits) + (limitReached ? "+" : "");
}

std::string modifiedText(int64_t seconds, bool withSeconds)
{
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local {};
    if (!localtime_r(&time, &local))
        return {};
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::string text = std::to_string(local.tm_mon + 1) + '/' + std::to_string(local.tm_mday) + '/'
        + std::to_string(static_cast<int64_t>(local.tm_year) + 1900) + ' ' + std::to_string(hour12) + ':'
        + std::to_string(local.tm_min);
    if (withSeconds)
        text += ':' + std::to_string(local.tm_sec);
    return text + (local.tm_hour < 12 ? " AM" : " PM");
}

} // namespace vellick
