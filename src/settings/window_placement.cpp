#include "settings/window_placement.h"

#include <algorithm>

namespace vellick {

namespace {

// The part of `a` that lies on `b`, width times height; 0 when they do not meet.
long long overlap(const WindowRect& a, const WindowRect& b)
{
    const long long left = std::max<long long>(a.left, b.left);
    const long long right
        = std::min<long long>(static_cast<long long>(a.left) + a.width, static_cast<long long>(b.left) + b.width);
    const long long top = std::max<long long>(a.top, b.top);
    const long long bottom
        = std::min<long long>(static_cast<long long>(a.top) + a.height, static_cast<long long>(b.top) + b.height);
    return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

// The screen the window shows on most, or the first one.
const WindowRect& screenOf(const WindowRect& window, const std::vector<WindowRect>& screens)
{
    const auto most = std::max_element(screens.begin(), screens.end(),
        [&](const WindowRect& a, const WindowRect& b) { return overlap(window, a) < overlap(window, b); });
    return overlap(window, *most) > 0 ? *most : screens.front();
}

// Moves `start` so that [start, start + size) lies in [areaStart, areaStart + areaSize), size <= areaSize.
int keepInside(int start, int size, int areaStart, int areaSize)
{
    const long long last = static_cast<long long>(areaStart) + areaSize - size;
    return static_cast<int>(std::clamp<long long>(start, areaStart, last));
}

} // namespace

WindowRect placeWindow(WindowRect stored, const std::vector<WindowRect>& screens)
{
    if (screens.empty()) {
        stored.width = std::clamp(stored.width, 1, kMaxWindowSide);
        stored.height = std::clamp(stored.height, 1, kMaxWindowSide);
        return stored;
    }
    const WindowRect& screen = screenOf(stored, screens);
    const WindowRect asked = stored;
    stored.width = std::clamp(stored.width, 1, std::max(1, screen.width));
    stored.height = std::clamp(stored.height, 1, std::max(1, screen.height));
    const bool fitted = stored.width != asked.width || stored.height != asked.height;
    const bool visible = std::any_of(screens.begin(), screens.end(), [&](const WindowRect& area) {
        const long long enough = static_cast<long long>(std::min(stored.width, kMinVisibleSide))
            * std::min(stored.height, kMinVisibleSide);
        return overlap(stored, area) >= enough;
    });
    if (fitted || !visible) {
        stored.left = keepInside(stored.left, stored.width, screen.left, screen.width);
        stored.top = keepInside(stored.top, stored.height, screen.top, screen.height);
    }
    return stored;
}

} // namespace vellick
