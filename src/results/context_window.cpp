#include "results/context_window.h"

#include "base/byte_classes.h"

#include <algorithm>

namespace vellick {

namespace {

bool isLineEnd(unsigned char c)
{
    return c == '\r' || c == '\n';
}
bool isTextByte(unsigned char c)
{
    return isPrintable(c) || isWhiteSpace(c);
}
unsigned char byteAt(std::string_view window, std::size_t index)
{
    return static_cast<unsigned char>(window[index]);
}

std::size_t contextStart(std::string_view window, std::size_t before)
{
    if (before == 0)
        return 0;
    // Walk back over the hit's line; byte 0 itself is never examined.
    for (std::size_t index = before - 1; index > 0; --index) {
        const unsigned char c = byteAt(window, index);
        if (isLineEnd(c) || !isTextByte(c))
            return index + 1;
    }
    // The line began before the window: start at the window's first white space rather than inside a word.
    for (std::size_t index = 0; index < before; ++index) {
        if (isWhiteSpace(byteAt(window, index)))
            return index;
    }
    return 0;
}

std::size_t contextEnd(std::string_view window, std::size_t hitEnd)
{
    std::size_t end = std::min(hitEnd, window.size());
    const std::size_t alwaysTaken = end + 3;
    while (end < window.size()) {
        const unsigned char c = byteAt(window, end);
        if (isLineEnd(c) || (end >= alwaysTaken && !isTextByte(c)))
            break;
        ++end;
    }
    return end;
}

} // namespace

HitContext cutContext(std::string_view window, std::size_t before, std::size_t length)
{
    const std::size_t start = contextStart(window, before);
    const std::size_t end = contextEnd(window, before + length);
    HitContext context;
    context.text.reserve(end - start);
    for (std::size_t index = start; index < end; ++index) {
        const unsigned char c = byteAt(window, index);
        context.text.push_back(isPrintable(c) ? static_cast<char>(c) : ' ');
    }
    context.position = static_cast<uint16_t>(before - start);
    return context;
}

} // namespace vellick
