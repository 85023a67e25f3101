#include "cli/json_writer.h"

#include "results/cline.h"
#include "search/utf8_sequence.h"

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

std::string hitsJson(const CLine& line)
{
    std::string out = "{\"path\":" + jsonString(line.path) + ",\"kind\":" + std::to_string(static_cast<int>(line.kind))
        + ",\"size\":" + std::to_string(line.size) + ",\"modified\":" + std::to_string(line.modified) + ",\"hits\":[";
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
