#pragma once

#include "settings/ini_document.h"
#include "settings/whole_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellick {

// One private-profile (INI) file, read and written by the rules of the classic profile functions:
// names ignore ASCII case, an integer is an optional sign and leading digits (anything else reads 0),
// a string loses the blanks and then one pair of quotes around it, a missing file or key gives the
// default. Reads work on what load() took in; changes are made in memory and written by save() in one
// crash-safe replace, keeping every other line, key, section, comment and line ending as it was.
// The settings layer owns one for the length of a load or a save.
class ProfileFile {
public:
    explicit ProfileFile(std::string path);

    // (Re)reads the file. A missing file is an empty document; an unusable one (a folder, a device,
    // unreadable, absurdly large) reads as empty too, and save() then refuses to write over it.
    FileReadStatus load();

    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The same without a default: nothing when the key is missing.
    std::optional<int> findInt(std::string_view section, std::string_view key) const;
    // The value, cut at a NUL byte (the text ends there), trimmed, unquoted, then cut to maxLength bytes.
    std::string getString(
        std::string_view section, std::string_view key, std::string_view defaultValue, std::size_t maxLength) const;

    // Changes in memory. A value that the read rules would alter (blanks or a pair of quotes around it)
    // is written inside one more pair of quotes, so it reads back as it was given. Returns false for a
    // section or key name that cannot be stored.
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    bool setInt(std::string_view section, std::string_view key, int value);

    // Writes the document over the file atomically (creating it and its folder when missing). False when
    // nothing was written: the file keeps its old content.
    bool save();

    // One key at once, the way the profile functions write: read, change, save.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

    const std::string& path() const { return m_path; }
    std::string text() const { return m_document.text(); }

    // Larger files, or files of more lines, are not taken for a settings file; they are left alone. A
    // settings file has a few hundred lines; millions of short ones would cost seconds and gigabytes to
    // hold and search line by line, while a few long lines cost little.
    static constexpr std::size_t kMaxFileSize = 64u << 20;
    static constexpr std::size_t kMaxLines = 65536;

private:
    std::string m_path;
    IniDocument m_document;
    FileReadStatus m_status = FileReadStatus::Missing;
};

// The profile rule for an integer: optional blanks, an optional sign, then decimal digits up to the first
// other character; no digits reads 0. Values beyond the int range stop at its ends.
int parseProfileInt(std::string_view text);

} // namespace vellick
