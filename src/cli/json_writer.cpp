#include "cli/json_writer.h"

#include "results/cline.h"
#include "search/utf8_sequence.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vellick {

namespace {

void appendEscapedByte(std::string& out, unsigned char c)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", c);
    out += escape;
}

void appendAsciiByte(std::string& out, unsigned char c)
{
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        if (c < 0x20)
            appendEscapedByte(out, c);
        else
            out.push_back(static_cast<char>(c));
    }
}

} // namespace

std::string jsonString(std::string_view bytes)
{
    std::string out = "\"";
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        if (c < 0x80) {
            appendAsciiByte(out, c);
            ++pos;
        } else if (const std::size_t length = utf8SequenceLength(bytes, pos)) {
            out.append(bytes.substr(pos, length));
            pos += length;
        } else {
            appendEscapedByte(out, c);
            ++pos;
        }
    }
    out.push_back('"');
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80)
            ++pos;
        else if (const std::size_t length = utf8SequenceLength(bytes, pos))
            pos += length;
        else
            return false;
    }
    return true;
}

std::string lossyUtf8(std::string_view bytes)
{
    std::string out;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = static_cast<unsigned char>(bytes[pos]) < 0x80 ? 1 : utf8SequenceLength(bytes, pos);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++pos;
        } else {
            out.append(bytes.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

std::string base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t pos = 0; pos < bytes.size(); pos += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - pos);
        uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[pos + i]) : 0U);
        for (std::size_t i = 0; i < 4; ++i)
            out.push_back(i <= count ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=');
    }
    return out;
}

std::string hitsJson(const CLine& line, std::string_view path)
{
    std::string out = "{\"path\":";
    if (isValidUtf8(path))
        out += jsonString(path);
    else
        out += jsonString(lossyUtf8(path)) + ",\"path_bytes\":\"" + base64(path) + "\"";
    out += ",\"kind\":" + std::to_string(static_cast<int>(line.kind)) + ",\"size\":" + std::to_string(line.size)
        + ",\"modified\":" + std::to_string(line.modified) + ",\"hit_count\":" + std::to_string(line.hitCount())
        + ",\"hit_limit_reached\":" + (line.hitLimitReached ? "true" : "false") + ",\"hits\":[";
    for (std::size_t i = 0; i < line.hitCount(); ++i) {
        if (i > 0)
            out.push_back(',');
        const HitEntry& hit = line.hit(i);
        out += "[" + std::to_string(hit.offset) + "," + std::to_string(hit.line) + "," + std::to_string(hit.length)
            + "," + std::to_string(hit.keyword) + "]";
    }
    return out + "]}";
}

} // namespace vellick
