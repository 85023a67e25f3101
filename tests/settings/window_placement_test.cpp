#include "settings/window_placement.h"

#include <climits>
#include <gtest/gtest.h>

namespace vellick {

static bool operator==(const WindowRect& a, const WindowRect& b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

static std::ostream& operator<<(std::ostream& out, const WindowRect& r)
{
    return out << "{" << r.left << "," << r.top << "," << r.width << "," << r.height << "}";
}

} // namespace vellick

using namespace vellick;

// Stored window rectangles from hand edits or another screen setup: too large for the screen, off every
// screen, or absurd. Two screens side by side, the first with a panel of 30 pixels at its top.
TEST(WindowPlacement, StoredRectangleIsFittedToTheScreens)
{
    const std::vector<WindowRect> screens { { 0, 30, 1920, 1050 }, { 1920, 0, 1280, 1024 } };
    struct Case {
        WindowRect stored;
        WindowRect placed;
    };
    const Case cases[] = {
        { { 24, 48, 800, 600 }, { 24, 48, 800, 600 } }, // fits: unchanged
        { { 2000, 100, 800, 600 }, { 2000, 100, 800, 600 } }, // on the second screen
        { { 1800, 100, 800, 600 }, { 1800, 100, 800, 600 } }, // across both: left as placed
        { { 24, 18, 100000, 100000 }, { 0, 30, 1920, 1050 } }, // the crash: fitted to its screen
        { { 2000, 0, INT_MAX, INT_MAX }, { 1920, 0, 1280, 1024 } },
        { { 100000, 100000, 800, 600 }, { 1120, 480, 800, 600 } }, // off every screen: onto the first
        { { -5000, -5000, 800, 600 }, { 0, 30, 800, 600 } }, { { INT_MIN, INT_MAX, 800, 600 }, { 0, 480, 800, 600 } },
        { { 1900, 1075, 800, 600 }, { 1120, 480, 800, 600 } }, // a corner of 20 x 5 pixels does not count
        { { 24, 18, 0, -7 }, { 24, 30, 1, 1 } }, // the window keeps its own least size
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeWindow(c.stored, screens), c.placed) << c.stored;
    // No screen known (a platform without one): only a sane maximum.
    EXPECT_EQ(placeWindow({ 5, 6, 100000, 300 }, {}), (WindowRect { 5, 6, kMaxWindowSide, 300 }));
}
