#pragma once

#include <array>
#include <string>

namespace vellick {

// Which of the main window's two layouts a result list belongs to; each keeps its own column widths.
enum class ListLayout {
    SideBySide, // vcol1..vcol6
    Stacked, // hcol1..hcol6
};

// The widths of the six result-list columns in column order, in pixels.
using ColumnWidths = std::array<int, 6>;

// The average character width, in pixels, of the font the side-by-side defaults were chosen for.
inline constexpr int kDefaultsCharWidth = 6;

// Read when a result list is created. Missing keys give the defaults: for the stacked layout fractions of
// the list's outer width (1/4, 1/4, 1/8, 1/8, 1/4, 1/8), for the side-by-side layout 100, 100, 50, 50, 100, 50
// scaled by the list font's average character width against kDefaultsCharWidth, so that they hold as
// many characters with any font. Stored widths are used as stored.
ColumnWidths loadColumnWidths(
    const std::string& path, ListLayout layout, int listWidth, int averageCharWidth = kDefaultsCharWidth);

// Written when a result list is destroyed, in one crash-safe replace. False when it could not be written.
bool saveColumnWidths(const std::string& path, ListLayout layout, const ColumnWidths& widths);

} // namespace vellick
