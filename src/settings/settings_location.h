#pragma once

#include <string>
#include <string_view>

namespace vellick {

// The one section every key of the settings file lives in.
inline constexpr std::string_view kSettingsSection = "Settings";

// Where the settings file lives: $XDG_CONFIG_HOME/vellick/vellick.ini, or ~/.config/vellick/vellick.ini
// when XDG_CONFIG_HOME is unset, empty or relative. Empty when no home folder can be found either.
std::string settingsFilePath();
std::string settingsFilePathFor(std::string_view xdgConfigHome, std::string_view home);

// Where printing writes its plain-text report: $XDG_CACHE_HOME/vellick/printresult.wri, or
// ~/.cache/vellick/printresult.wri when XDG_CACHE_HOME is unset, empty or relative.
std::string printReportFilePath();
std::string printReportFilePathFor(std::string_view xdgCacheHome, std::string_view home);

} // namespace vellick
