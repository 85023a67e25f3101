#include "settings/scope_settings.h"

#include "settings/settings_location.h"

#include <algorithm>
#include <array>

namespace vellick {

namespace {

constexpr std::string_view kSection = kSettingsSection;
constexpr std::size_t kMaxBoundText = 64;

constexpr const char* kSizeHint = "Write a number of bytes, optionally followed by K, M or G, for example 64K or 2M.";
constexpr const char* kDateHint
    = "Write a date as YYYY-MM-DD, or a number of days followed by d (7d means seven days ago).";

struct TextKey {
    std::string_view key;
    std::string ScopeSettings::*member;
    std::size_t maxLength;
};
constexpr std::array kTextKeys {
    TextKey { "excludedirs", &ScopeSettings::excludedFolders, kMaxExcludedFoldersText },
    TextKey { "minsize", &ScopeSettings::minSize, kMaxBoundText },
    TextKey { "maxsize", &ScopeSettings::maxSize, kMaxBoundText },
    TextKey { "modafter", &ScopeSettings::modifiedAfter, kMaxBoundText },
    TextKey { "modbefore", &ScopeSettings::modifiedBefore, kMaxBoundText },
};

struct FlagKey {
    std::string_view key;
    bool ScopeSettings::*member;
};
constexpr std::array kFlagKeys {
    FlagKey { "binary", &ScopeSettings::binaryFiles },
    FlagKey { "gitignore", &ScopeSettings::gitignore },
    FlagKey { "inverse", &ScopeSettings::filesWithoutHits },
    FlagKey { "documents", &ScopeSettings::documents },
};

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// An empty text is no bound; anything else must be one.
bool sizeTextValid(std::string_view text)
{
    return text.empty() || parseByteSize(text).has_value();
}

bool dateTextValid(std::string_view text, std::time_t now)
{
    return text.empty() || parseDateBound(text, now).has_value();
}

std::optional<int64_t> sizeOf(std::string_view text)
{
    return text.empty() ? std::nullopt : parseByteSize(text);
}

std::optional<int64_t> dateOf(std::string_view text, std::time_t now)
{
    return text.empty() ? std::nullopt : parseDateBound(text, now);
}

ScopeConversion refused(ScopeField field, std::string message)
{
    return { std::nullopt, std::move(message), field };
}

// The first text that is not what its field takes, or nothing.
std::optional<ScopeConversion> badText(const ScopeSettings& settings, std::time_t now)
{
    if (!sizeTextValid(settings.minSize))
        return refused(
            ScopeField::MinSize, "The smallest size " + quoted(settings.minSize) + " is not a size.\n" + kSizeHint);
    if (!sizeTextValid(settings.maxSize))
        return refused(
            ScopeField::MaxSize, "The largest size " + quoted(settings.maxSize) + " is not a size.\n" + kSizeHint);
    if (!dateTextValid(settings.modifiedAfter, now))
        return refused(ScopeField::ModifiedAfter,
            "The date \"modified after\" " + quoted(settings.modifiedAfter) + " is not a date.\n" + kDateHint);
    if (!dateTextValid(settings.modifiedBefore, now))
        return refused(ScopeField::ModifiedBefore,
            "The date \"modified before\" " + quoted(settings.modifiedBefore) + " is not a date.\n" + kDateHint);
    return std::nullopt;
}

} // namespace

ScopeConversion searchScopeFrom(const ScopeSettings& settings, std::time_t now)
{
    if (std::optional<ScopeConversion> bad = badText(settings, now))
        return *bad;
    SearchScope scope;
    scope.excludedFolders = splitNameList(settings.excludedFolders);
    scope.minSize = sizeOf(settings.minSize);
    scope.maxSize = sizeOf(settings.maxSize);
    scope.modifiedAfter = dateOf(settings.modifiedAfter, now);
    scope.modifiedBefore = dateOf(settings.modifiedBefore, now);
    scope.binaryFiles = settings.binaryFiles;
    scope.gitignore = settings.gitignore;
    scope.filesWithoutHits = settings.filesWithoutHits;
    scope.documents = settings.documents;
    if (scope.minSize && scope.maxSize && *scope.minSize > *scope.maxSize)
        return refused(ScopeField::MinSize, "The smallest size is above the largest size: no file could be found.");
    if (scope.modifiedAfter && scope.modifiedBefore && *scope.modifiedAfter >= *scope.modifiedBefore)
        return refused(ScopeField::ModifiedAfter,
            "The date \"modified after\" is not before the date \"modified before\": no file could be found.");
    return { std::move(scope), {}, ScopeField::None };
}

ScopeSettings loadScopeSettings(const ProfileFile& file)
{
    ScopeSettings settings;
    const std::time_t now = std::time(nullptr);
    for (const TextKey& key : kTextKeys) {
        // One byte more than allowed tells a value that was cut from one that fits.
        std::string text = file.getString(kSection, key.key, "", key.maxLength + 1);
        if (text.size() <= key.maxLength && !hasControlCharacter(text))
            settings.*key.member = std::move(text);
    }
    if (!sizeTextValid(settings.minSize))
        settings.minSize.clear();
    if (!sizeTextValid(settings.maxSize))
        settings.maxSize.clear();
    if (!dateTextValid(settings.modifiedAfter, now))
        settings.modifiedAfter.clear();
    if (!dateTextValid(settings.modifiedBefore, now))
        settings.modifiedBefore.clear();
    for (const FlagKey& key : kFlagKeys) {
        const std::string value = file.getString(kSection, key.key, "", 2);
        if (value == "0" || value == "1")
            settings.*key.member = value == "1";
    }
    return settings;
}

void storeScopeSettings(ProfileFile& file, const ScopeSettings& settings)
{
    const ScopeSettings defaults;
    for (const TextKey& key : kTextKeys) {
        const std::string& value = settings.*key.member;
        if (!value.empty() || !file.getString(kSection, key.key, "", 1).empty())
            file.setString(kSection, key.key, value);
    }
    for (const FlagKey& key : kFlagKeys) {
        const bool value = settings.*key.member;
        if (value != defaults.*key.member || file.findInt(kSection, key.key))
            file.setInt(kSection, key.key, value ? 1 : 0);
    }
}

} // namespace vellick
