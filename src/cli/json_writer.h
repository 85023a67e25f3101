#pragma once

#include <string>
#include <string_view>

namespace vellick {

class CLine;

// A JSON string literal of arbitrary bytes: '"' and '\' escaped, control bytes as \b \f \n \r \t or
// \u00xx, valid UTF-8 as it is, and each byte of an invalid UTF-8 sequence as \u00xx.
std::string jsonString(std::string_view bytes);

// {"path":...,"kind":1,"size":N,"modified":N,"hits":[[offset,line,length,pattern],...]}
std::string hitsJson(const CLine& line);

} // namespace vellick
