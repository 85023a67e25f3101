#include "search/scan_plan.h"

#include <algorithm>
#include <bit>

namespace vellick {

namespace {

    MatchRules rulesFor(uint32_t flags, bool singlePattern, FileKind kind)
    {
        MatchRules rules;
        rules.ignoreCase = flags & IgnoreCase;
        rules.wholeWord = flags & WholeWord;
        rules.spaceMatchesBlank = !singlePattern || (flags & WholePhrase);
        rules.zeroMatchesFF = !singlePattern;
        rules.skipUnprintable
            = singlePattern && kind == FileKind::Binary && !(flags & WholeWord) && !(flags & WholePhrase);
        return rules;
    }

    int setSize(const std::array<uint64_t, 4>& row)
    {
        int size = 0;
        for (uint64_t word : row)
            size += std::popcount(word);
        return size;
    }

} // namespace

ScanPlan::ScanPlan(const KeywordList& keywords, int maxKeys)
    : m_flags(keywords.flags())
    , m_maxKeys(std::clamp(maxKeys, kMinMaxKeys, kMaxMaxKeys))
    , m_singlePattern(keywords.count() < 2)
{
    m_textTable = MatchTable(rulesFor(m_flags, m_singlePattern, FileKind::Text));
    m_binaryTable = MatchTable(rulesFor(m_flags, m_singlePattern, FileKind::Binary));
    for (const std::string& bytes : keywords.patterns()) {
        CompiledPattern pattern { bytes, chooseAnchor(bytes) };
        if (!bytes.empty()) {
            const auto anchorByte = static_cast<unsigned char>(bytes[pattern.anchor]);
            pattern.soleAnchorByte = { soleMatchingByte(FileKind::Text, anchorByte),
                soleMatchingByte(FileKind::Binary, anchorByte) };
        }
        m_patterns.push_back(std::move(pattern));
        m_carrySize = std::max(m_carrySize, bytes.size());
    }
}

// The anchor is judged on the text-file table; the binary table only ever matches fewer bytes.
std::size_t ScanPlan::chooseAnchor(const std::string& bytes) const
{
    std::size_t best = 0;
    int bestSize = 257;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int size = setSize(m_textTable.row(static_cast<unsigned char>(bytes[i])));
        if (size < bestSize) {
            best = i;
            bestSize = size;
        }
    }
    return best;
}

int ScanPlan::soleMatchingByte(FileKind kind, unsigned char patternByte) const
{
    const auto& row = table(kind).row(patternByte);
    if (setSize(row) != 1)
        return -1;
    for (int word = 0; word < 4; ++word) {
        if (row[word])
            return word * 64 + std::countr_zero(row[word]);
    }
    return -1;
}

} // namespace vellick
