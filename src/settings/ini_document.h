#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// The text of an INI file held as lines, so that keys can be looked up and changed while every other
// byte (comments, unknown keys and sections, blank lines, line endings, even garbage) stays as it was.
// Section and key names compare ignoring ASCII case; of duplicate sections only the first counts, and
// in it only the first of duplicate keys. Used by ProfileFile, which adds the value rules and the file.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // The value of the key with blanks around it dropped, or nothing when the section or key is missing.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

    // Replaces the key's value in place; a missing key is added after the last line of its section, a
    // missing section is appended. Line breaks in the value become spaces, so a value stays one line.
    // Returns false, changing nothing, for a name that could not be read back (empty, with a line break,
    // a NUL, "=" in a key, "]" in a section, or a key that would read as a comment or a section header).
    bool set(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

private:
    struct Line {
        std::string text; // without its line ending
        std::string ending; // "\n", "\r\n" or "" for a last line without one
    };
    struct SectionRange {
        std::size_t header; // index of the header line
        std::size_t end; // one past the section's last line
    };

    std::optional<SectionRange> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const SectionRange& range, std::string_view key) const;
    void appendSection(std::string_view section, std::string line);
    std::string newLineEnding() const;

    std::vector<Line> m_lines;
};

// The text without the white space (ASCII blanks, tabs, line breaks) around it, as INI names and values
// are read.
std::string_view dropBlanks(std::string_view text);

} // namespace vellick
