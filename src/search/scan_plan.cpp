#include "search/scan_plan.h"

#include <algorithm>
#include <string_view>

namespace vellick {

namespace {

MatchRules rulesFor(uint32_t flags, bool singlePattern, FileKind kind)
{
    MatchRules rules;
    rules.ignoreCase = flags & IgnoreCase;
    rules.wholeWord = flags & WholeWord;
    rules.spaceMatchesBlank = !singlePattern || (flags & WholePhrase);
    rules.zeroMatchesFF = !singlePattern;
    rules.skipUnprintable = singlePattern && kind == FileKind::Binary && !(flags & WholeWord) && !(flags & WholePhrase);
    return rules;
}

// The bytes of a 256-bit set, when there are three or fewer.
std::optional<ByteSet> smallSet(const std::array<uint64_t, 4>& row)
{
    ByteSet set;
    for (unsigned c = 0; c < 256; ++c) {
        if ((row[c >> 6] >> (c & 63)) & 1) {
            if (set.count == 3)
                return std::nullopt;
            set.bytes[static_cast<std::size_t>(set.count++)] = static_cast<unsigned char>(c);
        }
    }
    if (set.count == 0)
        return std::nullopt;
    set.prepare();
    return set;
}

// A rough guess of how often a byte occurs in text and source code; rarer bytes make better probes.
int byteFrequency(unsigned char c)
{
    if (c == ' ')
        return 1000;
    if (c == '\n' || c == '\t')
        return 300;
    if (c >= 'a' && c <= 'z')
        return std::string_view("qzjxkvwyb").find(static_cast<char>(c)) != std::string_view::npos ? 40 : 150;
    if (c >= 'A' && c <= 'Z')
        return 25;
    if (c >= '0' && c <= '9')
        return 40;
    if (c == '_')
        return 150; // joins the words of most identifiers in source code
    if (c == '(' || c == ')' || c == ',' || c == ';' || c == '.' || c == '=' || c == '*')
        return 60;
    if (c >= 0x21 && c <= 0x7E)
        return 15;
    return c == 0 ? 20 : 5;
}

// How often a 256-bit set's bytes occur together.
double bitsFrequency(const ByteBits& bits)
{
    double total = 0;
    for (unsigned c = 0; c < 256; ++c) {
        if ((bits[c >> 6] >> (c & 63)) & 1)
            total += byteFrequency(static_cast<unsigned char>(c));
    }
    return total;
}

int setFrequency(const ByteSet& set)
{
    int total = 0;
    for (int i = 0; i < set.count; ++i)
        total += byteFrequency(set.bytes[static_cast<std::size_t>(i)]);
    return total;
}

} // namespace

ScanPlan::ScanPlan(const KeywordList& keywords, int maxKeys)
    : m_flags(keywords.flags())
    , m_maxKeys(std::clamp(maxKeys, kMinMaxKeys, kMaxMaxKeys))
    , m_singlePattern(keywords.count() < 2)
{
    if ((m_flags & Regex) && keywords.count() > 0) {
        m_regex = std::make_shared<const RegexMatcher>(keywords.pattern(0), m_flags);
        return; // no byte patterns, so no match tables
    }
    m_textTable = MatchTable(rulesFor(m_flags, m_singlePattern, FileKind::Text));
    m_binaryTable = MatchTable(rulesFor(m_flags, m_singlePattern, FileKind::Binary));
    for (const std::string& bytes : keywords.patterns()) {
        CompiledPattern pattern { bytes, { chooseProbe(bytes, FileKind::Text), chooseProbe(bytes, FileKind::Binary) } };
        m_patterns.push_back(std::move(pattern));
        m_carrySize = std::max(m_carrySize, bytes.size());
    }
    if (m_patterns.size() >= 2) {
        m_setProbes[kindIndex(FileKind::Text)] = buildSetProbe(FileKind::Text);
        m_setProbes[kindIndex(FileKind::Binary)] = buildSetProbe(FileKind::Binary);
    }
}

// Probes the same number of positions of every pattern (three, or the shortest pattern's length), at the
// stretch whose byte sets are rarest together. An empty pattern, which never matches, gets empty sets.
std::optional<PatternSetProbe> ScanPlan::buildSetProbe(FileKind kind) const
{
    std::size_t width = MultiLiteralProbe::kMaxWidth;
    for (const CompiledPattern& pattern : m_patterns) {
        if (!pattern.bytes.empty())
            width = std::min(width, pattern.bytes.size());
    }
    std::vector<std::vector<ByteBits>> literals;
    std::vector<std::size_t> offsets;
    for (const CompiledPattern& pattern : m_patterns) {
        std::vector<ByteBits> sets(width);
        std::size_t bestOffset = 0;
        double bestFrequency = 0;
        for (std::size_t offset = 0; offset + width <= pattern.bytes.size(); ++offset) {
            double frequency = 1;
            for (std::size_t j = 0; j < width; ++j)
                frequency *= bitsFrequency(table(kind).row(static_cast<unsigned char>(pattern.bytes[offset + j])));
            if (offset == 0 || frequency < bestFrequency) {
                bestOffset = offset;
                bestFrequency = frequency;
            }
        }
        for (std::size_t j = 0; j < width && !pattern.bytes.empty(); ++j)
            sets[j] = table(kind).row(static_cast<unsigned char>(pattern.bytes[bestOffset + j]));
        literals.push_back(std::move(sets));
        offsets.push_back(bestOffset);
    }
    return PatternSetProbe { MultiLiteralProbe(literals), std::move(offsets) };
}

// The two positions whose small byte sets are rarest (the same position twice when only one qualifies).
std::optional<BytePairProbe> ScanPlan::chooseProbe(const std::string& bytes, FileKind kind) const
{
    struct Candidate {
        std::size_t position;
        ByteSet set;
        int frequency;
    };
    std::optional<Candidate> best;
    std::optional<Candidate> second;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto set = smallSet(table(kind).row(static_cast<unsigned char>(bytes[i])));
        if (!set)
            continue;
        const Candidate candidate { i, *set, setFrequency(*set) };
        if (!best || candidate.frequency < best->frequency) {
            second = best;
            best = candidate;
        } else if (!second || candidate.frequency < second->frequency) {
            second = candidate;
        }
    }
    if (!best)
        return std::nullopt;
    const Candidate& other = second ? *second : *best;
    return BytePairProbe { best->position, best->set, other.position, other.set };
}

} // namespace vellick
