#include "settings/column_widths.h"

#include "settings/profile_file.h"
#include "settings/settings_location.h"

namespace vellick {

namespace {

std::string columnKey(ListLayout layout, std::size_t column)
{
    return (layout == ListLayout::Stacked ? "hcol" : "vcol") + std::to_string(column + 1);
}

ColumnWidths defaultWidths(ListLayout layout, int listWidth, int averageCharWidth)
{
    if (layout == ListLayout::SideBySide) {
        ColumnWidths widths { 100, 100, 50, 50, 100, 50 };
        for (int& width : widths)
            width = width * averageCharWidth / kDefaultsCharWidth;
        return widths;
    }
    return { listWidth / 4, listWidth / 4, listWidth / 8, listWidth / 8, listWidth / 4, listWidth / 8 };
}

} // namespace

ColumnWidths loadColumnWidths(const std::string& path, ListLayout layout, int listWidth, int averageCharWidth)
{
    ProfileFile file(path);
    file.load();
    ColumnWidths widths = defaultWidths(layout, listWidth, averageCharWidth);
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = file.getInt(kSettingsSection, columnKey(layout, column), widths[column]);
    return widths;
}

bool saveColumnWidths(const std::string& path, ListLayout layout, const ColumnWidths& widths)
{
    ProfileFile file(path);
    file.load();
    for (std::size_t column = 0; column < widths.size(); ++column)
        file.setInt(kSettingsSection, columnKey(layout, column), widths[column]);
    return file.save();
}

} // namespace vellick
