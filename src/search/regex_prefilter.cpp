#include "search/regex_prefilter.h"

#include "base/byte_classes.h"
#include "search/regex_byte_run.h"
#include "search/search_options.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <re2/filtered_re2.h>
#include <re2/re2.h>

namespace vellick {

namespace {

// Shorter literals are common words ("int"); RE2 leaves out those shorter than this.
constexpr int kMinLiteralLength = 3;

// The only characters outside ASCII that RE2's case folding puts with ASCII letters: the Kelvin sign
// (with k) and the long s (with s). A match may hold them where its literal has the ASCII letter, so the
// lines that hold them are matched too.
constexpr std::string_view kKelvinSign = "\xE2\x84\xAA";
constexpr std::string_view kLongS = "\xC5\xBF";

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// RE2's prefilter of the expression as a formula over its atoms; the fewest atoms (longest kept) of which
// every match holds one: an atom may go when the formula stays false with every atom present but the ones
// kept. Empty when the expression can match without any atom.
std::vector<std::string> requiredAtoms(std::string_view expression, uint32_t flags)
{
    re2::FilteredRE2 filter(kMinLiteralLength);
    RE2::Options options;
    options.set_log_errors(false);
    options.set_never_nl(true);
    options.set_case_sensitive(!(flags & IgnoreCase));
    int id = 0;
    if (filter.Add("(?m)" + std::string(expression), options, &id) != RE2::NoError)
        return {};
    std::vector<std::string> atoms;
    filter.Compile(&atoms);
    const auto passes = [&](const std::vector<int>& present) {
        std::vector<int> potential;
        filter.AllPotentials(present, &potential);
        return !potential.empty();
    };
    if (atoms.empty() || passes({}) || !std::all_of(atoms.begin(), atoms.end(), isAscii))
        return {};
    std::vector<int> order(atoms.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return atoms[static_cast<std::size_t>(a)].size() < atoms[static_cast<std::size_t>(b)].size();
    });
    std::vector<bool> kept(atoms.size(), true);
    for (const int candidate : order) {
        kept[static_cast<std::size_t>(candidate)] = false;
        std::vector<int> present;
        for (std::size_t i = 0; i < atoms.size(); ++i) {
            if (!kept[i])
                present.push_back(static_cast<int>(i));
        }
        if (passes(present))
            kept[static_cast<std::size_t>(candidate)] = true;
    }
    std::vector<std::string> required;
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        if (kept[i])
            required.push_back(atoms[i]);
    }
    return required;
}

// The literal's bytes, a letter in both cases.
std::vector<ByteBits> caseSets(std::string_view bytes)
{
    std::vector<ByteBits> sets(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        for (const unsigned char byte : { c, isAlpha(c) ? static_cast<unsigned char>(c ^ 0x20) : c })
            sets[i][byte >> 6] |= uint64_t { 1 } << (byte & 63);
    }
    return sets;
}

bool holds(const ByteBits& bits, unsigned char c)
{
    return (bits[c >> 6] >> (c & 63)) & 1;
}

} // namespace

RegexPrefilter::RegexPrefilter(std::string_view expression, uint32_t flags)
{
    // A character given by its code may lower-case to an ASCII letter that the text never holds.
    if (!isAscii(expression) || expression.find("\\x") != std::string_view::npos)
        return;
    const std::vector<std::string> atoms = requiredAtoms(expression, flags);
    const auto anyHolds = [&](char letter) {
        return std::any_of(atoms.begin(), atoms.end(),
            [letter](const std::string& atom) { return atom.find(letter) != std::string::npos; });
    };
    for (const std::string& atom : atoms)
        addLiteral(atom);
    if (anyHolds('k'))
        addLiteral(std::string(kKelvinSign));
    if (anyHolds('s'))
        addLiteral(std::string(kLongS));
    if (m_patterns.empty()) {
        std::vector<ByteBits> run = requiredByteRun(expression, flags & IgnoreCase);
        if (!run.empty())
            m_patterns.push_back(std::move(run));
    }
    makeProbe();
}

void RegexPrefilter::addLiteral(std::string bytes)
{
    m_patterns.push_back(caseSets(bytes));
    m_literals.push_back(std::move(bytes));
}

// One probe for all patterns, over up to three of their first bytes: the first, the last of the shortest
// and one between, the same distances apart in each.
void RegexPrefilter::makeProbe()
{
    if (m_patterns.empty())
        return;
    m_shortest = std::min_element(m_patterns.begin(), m_patterns.end(), [](const Pattern& a, const Pattern& b) {
        return a.size() < b.size();
    })->size();
    std::vector<std::size_t> distances { 0 };
    if (m_shortest >= 3)
        distances.push_back((m_shortest - 1) / 2);
    if (m_shortest >= 2)
        distances.push_back(m_shortest - 1);
    std::vector<std::vector<ByteBits>> probed;
    for (const Pattern& pattern : m_patterns) {
        probed.emplace_back();
        for (const std::size_t distance : distances)
            probed.back().push_back(pattern[distance]);
    }
    m_probe.emplace(probed, distances);
}

// The first position in [from, to) where one of the patterns occurs and ends by `to`, or `to`.
std::size_t RegexPrefilter::find(std::string_view text, std::size_t from, std::size_t to,
    std::array<MultiLiteralProbe::Candidate, 64>& candidates) const
{
    if (to < m_shortest || from > to - m_shortest)
        return to;
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t last = to - m_shortest;
    for (std::size_t position = from; position <= last;) {
        std::size_t count = 0;
        position = m_probe->collect(data, position, last, candidates.data(), candidates.size(), count);
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t at = candidates[k].position;
            for (uint32_t buckets = candidates[k].buckets; buckets; buckets &= buckets - 1) {
                for (const uint32_t i : m_probe->bucket(static_cast<std::size_t>(std::countr_zero(buckets)))) {
                    const Pattern& pattern = m_patterns[i];
                    if (at + pattern.size() > to)
                        continue;
                    std::size_t j = 0;
                    while (j < pattern.size() && holds(pattern[j], data[at + j]))
                        ++j;
                    if (j == pattern.size())
                        return at;
                }
            }
        }
    }
    return to;
}

RegexPrefilter::LineFinder::LineFinder(const RegexPrefilter& prefilter)
    : m_prefilter(prefilter)
{
}

RegexPrefilter::LineFinder::Lines RegexPrefilter::LineFinder::next(
    std::string_view text, std::size_t from, std::size_t to)
{
    if (!m_prefilter.active() || from >= to)
        return { std::min(from, to), to };
    const std::size_t at = m_prefilter.find(text, from, to, m_candidates);
    if (at >= to)
        return { to, to };
    const void* feedBefore = at > from ? ::memrchr(text.data() + from, '\n', at - from) : nullptr;
    const std::size_t begin
        = feedBefore ? static_cast<std::size_t>(static_cast<const char*>(feedBefore) - text.data()) + 1 : from;
    const void* feedAfter = ::memchr(text.data() + at, '\n', to - at);
    const std::size_t end
        = feedAfter ? static_cast<std::size_t>(static_cast<const char*>(feedAfter) - text.data()) + 1 : to;
    return { begin, end };
}

} // namespace vellick
