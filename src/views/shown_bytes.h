#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// Bytes of a searched file as the window shows them: each valid UTF-8 sequence as its character, every
// other byte as the Latin-1 character of its value. It knows which bytes each character came from, so a
// selection of characters can be taken back as the very bytes of the file. Used by the text pane.
class ShownBytes {
public:
    ShownBytes() = default;
    explicit ShownBytes(std::string_view bytes);

    const QString& text() const { return m_text; }
    // The bytes of the characters from index `from` up to (not including) `to`.
    std::string bytes(qsizetype from, qsizetype to) const;
    // The index of the first character that begins at or after a byte offset (the length at the end).
    qsizetype characterAt(std::size_t offset) const;

private:
    std::string m_bytes;
    QString m_text;
    std::vector<std::size_t> m_offsets; // where each UTF-16 unit's bytes begin, then the byte count
};

} // namespace vellick
