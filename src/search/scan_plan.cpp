#include "search/scan_plan.h"

#include <algorithm>
#include <cstring>
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

// The distances between the probed positions and, per pattern, the offset of the first.
struct ProbeSpacing {
    std::vector<std::size_t> distances;
    std::vector<std::size_t> offsets;
};

// Each pattern's rarest offset for the distances, and how rare they are together (lower is rarer).
double placeProbe(
    const std::vector<std::vector<double>>& frequencies, const std::vector<std::size_t>& distances, ProbeSpacing& out)
{
    out.distances = distances;
    out.offsets.assign(frequencies.size(), 0);
    double total = 0;
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const std::vector<double>& row = frequencies[i];
        double best = -1;
        for (std::size_t offset = 0; offset + distances.back() < row.size(); ++offset) {
            double product = 1;
            for (const std::size_t distance : distances)
                product *= row[offset + distance];
            if (best < 0 || product < best) {
                best = product;
                out.offsets[i] = offset;
            }
        }
        total += std::max(best, 0.0);
    }
    return total;
}

// Tries every spacing of up to three positions within the shortest pattern (at most 16 bytes wide).
ProbeSpacing chooseSpacing(const std::vector<std::vector<double>>& frequencies, std::size_t shortest)
{
    constexpr std::size_t kWidest = 16;
    const std::size_t span = std::min(shortest, kWidest);
    ProbeSpacing best;
    double bestScore = -1;
    const auto consider = [&](const std::vector<std::size_t>& distances) {
        ProbeSpacing spacing;
        const double score = placeProbe(frequencies, distances, spacing);
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best = std::move(spacing);
        }
    };
    if (span < MultiLiteralProbe::kMaxWidth) {
        std::vector<std::size_t> distances(span);
        for (std::size_t j = 0; j < span; ++j)
            distances[j] = j;
        consider(distances);
        return best;
    }
    for (std::size_t a = 1; a + 1 < span; ++a) {
        for (std::size_t b = a + 1; b < span; ++b)
            consider({ 0, a, b });
    }
    return best;
}

int setFrequency(const ByteSet& set)
{
    int total = 0;
    for (int i = 0; i < set.count; ++i)
        total += byteFrequency(set.bytes[static_cast<std::size_t>(i)]);
    return total;
}

} // namespace

ScanPlan::ScanPlan(const KeywordList& keywords, int maxKeys, ScanChoices choices)
    : m_flags(keywords.flags())
    , m_maxKeys(choices.filesWithoutHits ? kMinMaxKeys : std::clamp(maxKeys, kMinMaxKeys, kMaxMaxKeys))
    , m_choices(choices)
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
    // Two patterns are found as fast by two passes of their own narrower probes.
    if (m_patterns.size() >= 3) {
        m_setProbes[kindIndex(FileKind::Text)] = buildSetProbe(FileKind::Text);
        m_setProbes[kindIndex(FileKind::Binary)] = buildSetProbe(FileKind::Binary);
    }
}

// Probes the same number of positions (three, or the shortest pattern's length) of every pattern, the
// same distances apart in all, where their byte sets are rarest together: the distances are chosen for
// all patterns, then each pattern's offset. An empty pattern, which never matches, gets empty sets.
std::optional<PatternSetProbe> ScanPlan::buildSetProbe(FileKind kind) const
{
    std::size_t shortest = SIZE_MAX;
    std::vector<std::vector<double>> frequencies; // per pattern and position
    for (const CompiledPattern& pattern : m_patterns) {
        if (!pattern.bytes.empty())
            shortest = std::min(shortest, pattern.bytes.size());
        auto& row = frequencies.emplace_back();
        for (const char c : pattern.bytes)
            row.push_back(bitsFrequency(table(kind).row(static_cast<unsigned char>(c))));
    }
    if (shortest == SIZE_MAX)
        return std::nullopt;
    const ProbeSpacing spacing = chooseSpacing(frequencies, shortest);
    std::vector<std::vector<ByteBits>> literals;
    for (std::size_t i = 0; i < m_patterns.size(); ++i) {
        std::vector<ByteBits> sets(spacing.distances.size());
        for (std::size_t j = 0; j < sets.size() && !m_patterns[i].bytes.empty(); ++j) {
            const auto c = static_cast<unsigned char>(m_patterns[i].bytes[spacing.offsets[i] + spacing.distances[j]]);
            sets[j] = table(kind).row(c);
        }
        literals.push_back(std::move(sets));
    }
    return PatternSetProbe { MultiLiteralProbe(literals, spacing.distances), spacing.offsets };
}

// Eight bytes at a time, their bits gathered, and the high bit of each tested at the end.
FileKind kindOfStreamHead(const unsigned char* data, std::size_t size)
{
    const std::size_t probe = std::min(size, ScanPlan::kKindProbeBytes);
    uint64_t allBits = 0;
    std::size_t i = 0;
    for (; i + 8 <= probe; i += 8) {
        uint64_t eight = 0;
        std::memcpy(&eight, data + i, 8);
        allBits |= eight;
    }
    for (; i < probe; ++i)
        allBits |= data[i];
    return (allBits & 0x8080808080808080u) ? FileKind::Binary : FileKind::Text;
}

bool ScanPlan::hitLimitReached(std::span<const Hit> hits) const
{
    const auto limit = static_cast<std::size_t>(m_maxKeys);
    if (!allWords())
        return hits.size() >= limit;
    std::vector<std::size_t> perPattern(m_patterns.size());
    return std::any_of(hits.begin(), hits.end(),
        [&](const Hit& hit) { return hit.pattern < perPattern.size() && ++perPattern[hit.pattern] >= limit; });
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
