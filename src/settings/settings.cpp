#include "settings/settings.h"

#include "base/paths.h"
#include "search/search_request.h"
#include "settings/profile_file.h"
#include "settings/settings_location.h"

#include <algorithm>

namespace vellick {

namespace {

constexpr std::string_view kSection = kSettingsSection;
constexpr std::size_t kRecentKeys = 5;
constexpr std::size_t kMaxEditorCommand = 1024;
constexpr std::string_view kEditorCommandKey = "editorcommand";

struct RecentListKeys {
    std::string_view prefix;
    std::size_t maxLength;
};
constexpr RecentListKeys kKeywordKeys { "keys", kMaxKeywordText };
constexpr RecentListKeys kFolderKeys { "directory", kMaxFolderText };
constexpr RecentListKeys kFilePatternKeys { "file", kMaxFilePatternText };

std::string numberedKey(std::string_view prefix, std::size_t number)
{
    return std::string(prefix) + std::to_string(number);
}

bool getFlag(const ProfileFile& file, std::string_view key)
{
    return file.getInt(kSection, key, 0) != 0;
}

// The default size keeps the window inside an 800 x 600 screen, or the real one when it is smaller.
WindowRect loadWindowRect(const ProfileFile& file, ScreenSize screen)
{
    WindowRect rect;
    rect.left = file.getInt(kSection, "wleft", 24);
    rect.top = file.getInt(kSection, "wtop", 18);
    rect.width = file.getInt(kSection, "wwidth", std::min(screen.width, 800) - rect.left - 48);
    rect.height = file.getInt(kSection, "wheight", std::min(screen.height, 600) - rect.top - 36);
    return rect;
}

// The first empty or missing value ends the list.
std::vector<std::string> loadRecentList(const ProfileFile& file, const RecentListKeys& keys)
{
    std::vector<std::string> list;
    for (std::size_t number = 1; number <= kRecentKeys; ++number) {
        std::string value = file.getString(kSection, numberedKey(keys.prefix, number), "", keys.maxLength);
        if (value.empty())
            break;
        list.push_back(std::move(value));
    }
    return list;
}

// Keys behind the list's count are neither written nor removed: older values survive there.
void storeRecentList(ProfileFile& file, const RecentListKeys& keys, const std::vector<std::string>& list)
{
    for (std::size_t i = 0; i < std::min(list.size(), kRecentKeys); ++i)
        file.setString(kSection, numberedKey(keys.prefix, i + 1), list[i]);
}

// A command with control characters or cut at the length limit is not one the user wrote: the detected
// editor is used instead.
std::string loadEditorCommand(const ProfileFile& file)
{
    std::string command = file.getString(kSection, kEditorCommandKey, "", kMaxEditorCommand + 1);
    const bool hostile = command.size() > kMaxEditorCommand || std::any_of(command.begin(), command.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    }) || command.find_first_not_of(" \t") == std::string::npos;
    return hostile ? std::string() : command;
}

void loadOptions(const ProfileFile& file, Settings& settings)
{
    settings.search.includeHidden = getFlag(file, "searchhiden");
    settings.search.maxKeys = std::clamp(file.getInt(kSection, "maxkeys", kMaxMaxKeys), kMinMaxKeys, kMaxMaxKeys);
    settings.subFolders = getFlag(file, "dosubdir");
    settings.matchMode = static_cast<MatchMode>(std::clamp(file.getInt(kSection, "allkeys", 0), 0, 2));
    settings.matchCase = getFlag(file, "matchcase");
    settings.matchWholeWord = getFlag(file, "matchword");
    settings.regex = file.getInt(kSection, "regex", 0) == 1;
    settings.editorCommand = loadEditorCommand(file);
    settings.scope = loadScopeSettings(file);
}

void loadRecentLists(const ProfileFile& file, Settings& settings)
{
    settings.recentFolders = loadRecentList(file, kFolderKeys);
    settings.recentKeywords = loadRecentList(file, kKeywordKeys);
    settings.recentFilePatterns = loadRecentList(file, kFilePatternKeys);
    // Loading stops at the first empty value, so a first entry is exactly a non-empty key 1.
    if (!settings.recentKeywords.empty())
        settings.keywordText = settings.recentKeywords.front();
    if (!settings.recentFolders.empty())
        settings.folderText = settings.recentFolders.front();
    else
        settings.folderText = currentDirectory().value_or("");
    settings.filePatternText = settings.recentFilePatterns.empty() ? "*.*" : settings.recentFilePatterns.front();
}

void storeSizes(ProfileFile& file, const Settings& settings)
{
    file.setInt(kSection, "wwidth", settings.window.width);
    file.setInt(kSection, "wheight", settings.window.height);
    file.setInt(kSection, "wleft", settings.window.left);
    file.setInt(kSection, "wtop", settings.window.top);
    if (settings.listPaneWidth)
        file.setInt(kSection, "width1", *settings.listPaneWidth);
    file.setInt(kSection, "width2", settings.textPaneWidth);
    if (settings.listPaneHeight)
        file.setInt(kSection, "height1", *settings.listPaneHeight);
    file.setInt(kSection, "height2", settings.textPaneHeight);
}

void storeOptions(ProfileFile& file, const Settings& settings)
{
    file.setInt(kSection, "searchhiden", settings.search.includeHidden ? 1 : 0);
    file.setInt(kSection, "maxkeys", settings.search.maxKeys);
    file.setInt(kSection, "horizon", settings.stackedLayout ? 1 : 0);
    file.setInt(kSection, "dosubdir", settings.subFolders ? 1 : 0);
    file.setInt(kSection, "allkeys", static_cast<int>(settings.matchMode));
    file.setInt(kSection, "matchcase", settings.matchCase ? 1 : 0);
    file.setInt(kSection, "matchword", settings.matchWholeWord ? 1 : 0);
    file.setInt(kSection, "regex", settings.regex ? 1 : 0);
    // The key appears once the user sets a command; clearing it again keeps an empty key.
    if (!settings.editorCommand.empty() || !file.getString(kSection, kEditorCommandKey, "", 1).empty())
        file.setString(kSection, kEditorCommandKey, settings.editorCommand);
    storeScopeSettings(file, settings.scope);
}

} // namespace

Settings loadSettings(const std::string& path, ScreenSize screen)
{
    ProfileFile file(path);
    file.load();
    Settings settings;
    settings.window = loadWindowRect(file, screen);
    settings.stackedLayout = getFlag(file, "horizon");
    settings.listPaneWidth = file.findInt(kSection, "width1");
    settings.listPaneHeight = file.findInt(kSection, "height1");
    loadOptions(file, settings);
    loadRecentLists(file, settings);
    return settings;
}

bool saveSettings(const std::string& path, const Settings& settings, bool minimised)
{
    ProfileFile file(path);
    file.load();
    if (!minimised)
        storeSizes(file, settings);
    storeOptions(file, settings);
    storeRecentList(file, kKeywordKeys, settings.recentKeywords);
    storeRecentList(file, kFolderKeys, settings.recentFolders);
    storeRecentList(file, kFilePatternKeys, settings.recentFilePatterns);
    return file.save();
}

} // namespace vellick
