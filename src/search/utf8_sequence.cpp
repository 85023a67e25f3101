#include "search/utf8_sequence.h"

namespace vellick {

std::size_t utf8SequenceLength(std::string_view s, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (pos + length > s.size())
        return 0;
    if (byte(pos + 1) < low || byte(pos + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF)
            return 0;
    }
    return length;
}

std::string undecodableAsWildcards(std::string_view name)
{
    std::string pattern;
    pattern.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t length = utf8SequenceLength(name, pos);
        pattern.append(length == 0 ? std::string_view("?") : name.substr(pos, length));
        pos += length == 0 ? 1 : length;
    }
    return pattern;
}

} // namespace vellick
