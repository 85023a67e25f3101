#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellick {

inline constexpr std::size_t kMaxFilePatterns = 31;
inline constexpr std::size_t kMaxFilePatternLength = 256;

// The file-pattern text split at "," and ";": pieces empty before trimming are skipped, each piece is cut
// to 256 bytes and trimmed, and the first 31 are kept (a piece blank after trimming matches nothing).
std::vector<std::string> splitFilePatterns(std::string_view text);

// Wildcard match of a file name, ASCII case-insensitive: "*" any run of bytes, "?" one byte. A pattern
// ending in ".*" also matches what the pattern without it matches ("*.*" matches every name). A pattern
// that is empty or holds "/" matches nothing.
bool matchesFilePattern(std::string_view pattern, std::string_view name);

// The same wildcards over a "/"-separated path ("*" also matches "/"); leading and trailing "/" of the
// pattern are dropped.
bool matchesPathPattern(std::string_view pattern, std::string_view path);

} // namespace vellick
