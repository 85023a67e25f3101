#pragma once

#include <string>
#include <string_view>

namespace vellick {

class CLine;

// A JSON string literal of arbitrary bytes: '"' and '\' escaped, control bytes as \b \f \n \r \t or
// \u00xx, valid UTF-8 as it is, and each byte of an invalid UTF-8 sequence as \u00xx.
std::string jsonString(std::string_view bytes);

// True when every byte sequence of `bytes` is valid UTF-8.
bool isValidUtf8(std::string_view bytes);
// The bytes with each byte of an invalid UTF-8 sequence replaced by U+FFFD.
std::string lossyUtf8(std::string_view bytes);
// Standard base64 with padding.
std::string base64(std::string_view bytes);

// {"path":...,"kind":1,"size":N,"modified":N,"hit_count":N,"hit_limit_reached":false,
// "hits":[[offset,line,length,pattern],...]} for a found file printed as `path`; hit_limit_reached is
// true when the scan stopped taking hits at the per-file hit limit. A path that is not valid UTF-8 is given as lossy
// text, followed by "path_bytes":"BASE64" holding its exact bytes.
std::string hitsJson(const CLine& line, std::string_view path);

} // namespace vellick
