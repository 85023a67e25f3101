#include "views/shown_bytes.h"

#include "search/utf8_sequence.h"

#include <algorithm>

namespace vellick {

ShownBytes::ShownBytes(std::string_view bytes)
    : m_bytes(bytes)
{
    m_text.reserve(static_cast<qsizetype>(bytes.size()));
    m_offsets.reserve(bytes.size() + 1);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, pos);
        if (length == 0) {
            m_text.append(QChar(static_cast<unsigned char>(bytes[pos])));
            m_offsets.push_back(pos++);
            continue;
        }
        const QString character = QString::fromUtf8(bytes.data() + pos, static_cast<qsizetype>(length));
        m_text.append(character);
        // Both halves of a surrogate pair begin where the sequence does.
        m_offsets.insert(m_offsets.end(), static_cast<std::size_t>(character.size()), pos);
        pos += length;
    }
    m_offsets.push_back(bytes.size());
}

std::string ShownBytes::bytes(qsizetype from, qsizetype to) const
{
    const auto last = static_cast<qsizetype>(m_offsets.size()) - 1;
    from = std::clamp<qsizetype>(from, 0, last);
    to = std::clamp<qsizetype>(to, from, last);
    const std::size_t begin = m_offsets[static_cast<std::size_t>(from)];
    return m_bytes.substr(begin, m_offsets[static_cast<std::size_t>(to)] - begin);
}

qsizetype ShownBytes::characterAt(std::size_t offset) const
{
    return std::lower_bound(m_offsets.begin(), m_offsets.end(), offset) - m_offsets.begin();
}

} // namespace vellick
