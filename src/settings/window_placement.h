#pragma once

#include "settings/settings.h"

#include <vector>

namespace vellick {

// Where the main window opens, from the rectangle the settings file holds and the screens' available
// areas (without panels and docks). The stored values may come from another screen setup or be edited by
// hand: a window larger than its screen is made to fit it (a huge window costs gigabytes of memory and
// can crash the window system's client) and kept on it, and a window that would show on no screen is
// moved onto the first one. With no screen known, sizes are limited to kMaxSide. The window saves what it really has.
WindowRect placeWindow(WindowRect stored, const std::vector<WindowRect>& screens);

inline constexpr int kMaxWindowSide = 8192;
// Less than this much of a window on a screen does not count as showing on it: a title bar's worth.
inline constexpr int kMinVisibleSide = 48;

} // namespace vellick
