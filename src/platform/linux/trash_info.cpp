#include "platform/linux/trash_info.h"

#include <array>

namespace vellick {
namespace {

bool unreserved(unsigned char byte)
{
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9'))
        return true;
    return std::string_view("-_.!~*'()/").find(static_cast<char>(byte)) != std::string_view::npos;
}

// NAME_MAX less the length of ".trashinfo".
constexpr std::size_t kMaxEntryName = 255 - 10;

} // namespace

std::string percentEncodePath(std::string_view path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (unreserved(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}

std::string trashInfoText(std::string_view originalPath, std::time_t when)
{
    std::tm local {};
    std::array<char, 32> date {};
    if (!localtime_r(&when, &local) || std::strftime(date.data(), date.size(), "%Y-%m-%dT%H:%M:%S", &local) == 0)
        date[0] = '\0';
    return "[Trash Info]\nPath=" + percentEncodePath(originalPath) + "\nDeletionDate=" + date.data() + "\n";
}

std::string trashEntryName(std::string_view name, int attempt)
{
    std::string_view stem = name;
    std::string_view extension;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::string suffix = attempt > 1 ? "_" + std::to_string(attempt) : std::string();
    if (extension.size() + suffix.size() >= kMaxEntryName)
        extension = {};
    const std::size_t room = kMaxEntryName - extension.size() - suffix.size();
    if (stem.size() > room)
        stem = stem.substr(0, room);
    return std::string(stem) + suffix + std::string(extension);
}

} // namespace vellick
