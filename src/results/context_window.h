#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellick {

// One read of a file for the surrounding text: up to 384 bytes, of which at most 192 lie in front of the hit.
inline constexpr std::size_t kContextWindowSize = 384;
inline constexpr std::size_t kContextLead = 192;

// The text shown around one hit and the number of its characters in front of the hit.
struct HitContext {
    std::string text; // printable ASCII only: every other byte shows as a space
    uint16_t position = 0;
};

// Cuts the context of a hit out of `window`, the bytes read from the file, in which the hit starts at index
// `before` (below the window's size) and runs for `length` bytes. The context starts at the hit's line (or
// at the window's first white space when the line began before the window) and ends at the line's end, at
// a control byte from the fourth byte after the hit on, or at the window's end; it never goes past the
// window, even when the hit does.
HitContext cutContext(std::string_view window, std::size_t before, std::size_t length);

} // namespace vellick
