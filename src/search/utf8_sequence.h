#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellick {

// UTF-8 as RFC 3629 defines it (no overlong forms, no surrogates, nothing above U+10FFFF). Files and names
// are bytes; the front ends show the valid sequences as characters and the other bytes on their own.

// Length of the valid UTF-8 sequence at `pos`, or 0 when the bytes there are not one.
std::size_t utf8SequenceLength(std::string_view s, std::size_t pos);

// A file pattern that matches the name and can be typed and stored as text: every byte that belongs to
// no valid sequence becomes the wildcard "?".
std::string undecodableAsWildcards(std::string_view name);

} // namespace vellick
