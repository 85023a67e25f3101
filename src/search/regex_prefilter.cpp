#include "search/regex_prefilter.h"

#include "base/byte_classes.h"
#include "search/search_options.h"

#include <algorithm>
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

// The set of one byte, or of a letter in both cases.
ByteSet caseSet(unsigned char c)
{
    ByteSet set;
    set.bytes[0] = c;
    set.count = 1;
    if (isAlpha(c)) {
        set.bytes[1] = static_cast<unsigned char>(c ^ 0x20);
        set.count = 2;
    }
    set.prepare();
    return set;
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
        m_literals.push_back(makeLiteral(atom));
    if (anyHolds('k'))
        m_literals.push_back(makeLiteral(std::string(kKelvinSign)));
    if (anyHolds('s'))
        m_literals.push_back(makeLiteral(std::string(kLongS)));
}

std::vector<std::string> RegexPrefilter::literals() const
{
    std::vector<std::string> texts;
    for (const Literal& literal : m_literals)
        texts.push_back(literal.bytes);
    return texts;
}

RegexPrefilter::Literal RegexPrefilter::makeLiteral(std::string bytes)
{
    const auto first = static_cast<unsigned char>(bytes.front());
    const auto last = static_cast<unsigned char>(bytes.back());
    BytePairProbe probe { 0, caseSet(first), bytes.size() - 1, caseSet(last) };
    return { std::move(bytes), probe };
}

// The first occurrence of the literal starting in [from, to - size], or `to`.
std::size_t RegexPrefilter::find(const Literal& literal, std::string_view text, std::size_t from, std::size_t to) const
{
    const std::size_t size = literal.bytes.size();
    if (to < size || from > to - size)
        return to;
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t last = to - size;
    for (std::size_t at = from; (at = findProbeCandidate(data, at, last, literal.probe)) <= last; ++at) {
        const bool matches = std::equal(literal.bytes.begin(), literal.bytes.end(), data + at,
            [](char wanted, unsigned char c) { return static_cast<unsigned char>(wanted) == toLowerAscii(c); });
        if (matches)
            return at;
    }
    return to;
}

RegexPrefilter::LineFinder::LineFinder(const RegexPrefilter& prefilter)
    : m_prefilter(prefilter)
    , m_next(prefilter.m_literals.size(), 0)
    , m_searchedTo(prefilter.m_literals.size(), 0)
{
}

// The first occurrence of any literal in [from, to), or `to`. A literal's earlier answer stands while it
// lies at or after `from` and was looked for within the same end.
std::size_t RegexPrefilter::LineFinder::nextOccurrence(std::string_view text, std::size_t from, std::size_t to)
{
    std::size_t first = to;
    for (std::size_t i = 0; i < m_next.size(); ++i) {
        if (m_next[i] < from || m_searchedTo[i] != to) {
            m_next[i] = m_prefilter.find(m_prefilter.m_literals[i], text, from, to);
            m_searchedTo[i] = to;
        }
        first = std::min(first, m_next[i]);
    }
    return first;
}

RegexPrefilter::LineFinder::Lines RegexPrefilter::LineFinder::next(
    std::string_view text, std::size_t from, std::size_t to)
{
    if (!m_prefilter.active() || from >= to)
        return { std::min(from, to), to };
    const std::size_t at = nextOccurrence(text, from, to);
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
