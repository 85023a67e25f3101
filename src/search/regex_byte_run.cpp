#include "search/regex_byte_run.h"

#include "base/byte_classes.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace vellick {

namespace {

constexpr int kMaxRun = static_cast<int>(MultiLiteralProbe::kMaxWidth);
// A run is worth looking for when text is expected to hold it at about one position in this many or fewer.
constexpr double kMaxShare = 1.0 / 256;

void addByte(ByteBits& bits, unsigned char c)
{
    bits[c >> 6] |= uint64_t { 1 } << (c & 63);
}

bool hasByte(const ByteBits& bits, unsigned char c)
{
    return (bits[c >> 6] >> (c & 63)) & 1;
}

void addRange(ByteBits& bits, unsigned char low, unsigned char high)
{
    for (unsigned c = low; c <= high; ++c)
        addByte(bits, static_cast<unsigned char>(c));
}

// A rough share of each byte in source code and prose, to tell a rare run from a common one.
double byteShare(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return 0.025;
    if (isUpper(c) || isDigit(c))
        return 0.005;
    if (c == ' ')
        return 0.1;
    if (c == '_' || c == '\t')
        return 0.015;
    return isPrintable(c) ? 0.003 : 0.0005;
}

double share(const ByteBits& bits)
{
    double sum = 0;
    for (unsigned c = 0; c < 256; ++c)
        sum += hasByte(bits, static_cast<unsigned char>(c)) ? byteShare(static_cast<unsigned char>(c)) : 0;
    return sum;
}

// What one atom of the expression is: a set of single bytes, something of another length (a split in the
// sequence), or a form this reader does not know (no run at all).
enum class AtomKind { Bytes, Split, Unknown };

struct Repeat {
    int min = 1;
    int max = 1; // -1: no bound
};

// Reads the expression's top level atom by atom into runs of adjacent byte sets.
class RunReader {
public:
    RunReader(std::string_view expression, bool ignoreCase)
        : m_text(expression)
        , m_ignoreCase(ignoreCase)
    {
    }

    // The runs of the whole expression, or nothing when it has a form that is not understood.
    std::optional<std::vector<std::vector<ByteBits>>> read()
    {
        while (m_at < m_text.size()) {
            ByteBits bits {};
            const AtomKind kind = atom(bits);
            Repeat repeat;
            if (kind == AtomKind::Unknown || !readRepeat(repeat))
                return std::nullopt;
            if (kind == AtomKind::Bytes && !m_ignoreCase)
                add(bits, repeat);
            else if (kind == AtomKind::Bytes && foldsToOneByte(bits))
                add(bits, repeat);
            else
                split();
        }
        split();
        return m_runs;
    }

private:
    AtomKind atom(ByteBits& bits)
    {
        const auto c = static_cast<unsigned char>(m_text[m_at]);
        if (c >= 0x80 || c == '|' || c == ')' || c == '*' || c == '+' || c == '?' || c == '{')
            return AtomKind::Unknown;
        if (c == '(')
            return skipGroup();
        if (c == '[') {
            bool negated = false;
            if (!readClass(bits, negated))
                return AtomKind::Unknown;
            return negated ? AtomKind::Split : AtomKind::Bytes;
        }
        ++m_at;
        if (c == '.' || c == '^' || c == '$')
            return AtomKind::Split;
        if (c != '\\') {
            addByte(bits, c);
            return AtomKind::Bytes;
        }
        if (m_at >= m_text.size())
            return AtomKind::Unknown;
        const char escaped = m_text[m_at++];
        if (escaped == 'D' || escaped == 'W' || escaped == 'S' || escaped == 'b' || escaped == 'B' || escaped == 'A'
            || escaped == 'z')
            return AtomKind::Split;
        return escapedBytes(escaped, bits) ? AtomKind::Bytes : AtomKind::Unknown;
    }

    // \d, \w, \s (with \v: more bytes than matched is safe), control escapes and escaped punctuation.
    static bool escapedBytes(char c, ByteBits& bits)
    {
        switch (c) {
        case 'd':
            addRange(bits, '0', '9');
            return true;
        case 'w':
            addRange(bits, '0', '9');
            addRange(bits, 'A', 'Z');
            addRange(bits, 'a', 'z');
            addByte(bits, '_');
            return true;
        case 's':
            addRange(bits, '\t', '\r');
            addByte(bits, ' ');
            return true;
        case 't':
            addByte(bits, '\t');
            return true;
        case 'n':
            addByte(bits, '\n');
            return true;
        case 'r':
            addByte(bits, '\r');
            return true;
        case 'f':
            addByte(bits, '\f');
            return true;
        case 'v':
            addByte(bits, '\v');
            return true;
        case 'a':
            addByte(bits, '\a');
            return true;
        default:
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (!isPrintable(byte) || isAlnum(byte))
            return false;
        addByte(bits, byte);
        return true;
    }

    // One character of a class (plain or escaped, no \d, \w or \s), or nothing.
    std::optional<unsigned char> classCharacter()
    {
        if (m_at >= m_text.size())
            return std::nullopt;
        const auto c = static_cast<unsigned char>(m_text[m_at++]);
        if (c >= 0x80)
            return std::nullopt;
        if (c != '\\')
            return c;
        ByteBits bits {};
        if (m_at >= m_text.size() || m_text[m_at] == 'd' || m_text[m_at] == 'w' || m_text[m_at] == 's'
            || !escapedBytes(m_text[m_at++], bits))
            return std::nullopt;
        for (unsigned byte = 0; byte < 128; ++byte) {
            if (hasByte(bits, static_cast<unsigned char>(byte)))
                return static_cast<unsigned char>(byte);
        }
        return std::nullopt;
    }

    // A bracketed class from its "[" through its "]"; false for forms not understood ([:alpha:], \p, ...).
    bool readClass(ByteBits& bits, bool& negated)
    {
        ++m_at;
        negated = m_at < m_text.size() && m_text[m_at] == '^';
        m_at += negated ? 1 : 0;
        for (bool first = true; m_at < m_text.size(); first = false) {
            const char c = m_text[m_at];
            if (c == ']' && !first) {
                ++m_at;
                return true;
            }
            if (c == '[' && m_at + 1 < m_text.size() && m_text[m_at + 1] == ':')
                return false;
            if (c == '\\' && m_at + 1 < m_text.size()
                && std::string_view("dws").find(m_text[m_at + 1]) != std::string_view::npos) {
                escapedBytes(m_text[m_at + 1], bits);
                m_at += 2;
                continue;
            }
            const std::optional<unsigned char> low = classCharacter();
            if (!low)
                return false;
            if (m_at + 1 < m_text.size() && m_text[m_at] == '-' && m_text[m_at + 1] != ']') {
                ++m_at;
                const std::optional<unsigned char> high = classCharacter();
                if (!high || *high < *low)
                    return false;
                addRange(bits, *low, *high);
            } else {
                addByte(bits, *low);
            }
        }
        return false;
    }

    // A group, passed over as a whole: "(" or "(?:" through its ")". Other "(?" forms set flags or names.
    AtomKind skipGroup()
    {
        if (m_text.substr(m_at, 2) == "(?" && m_text.substr(m_at, 3) != "(?:")
            return AtomKind::Unknown;
        ++m_at;
        for (int depth = 1; m_at < m_text.size();) {
            const char c = m_text[m_at];
            if (c == '[') {
                ByteBits ignored {};
                bool negated = false;
                if (!readClass(ignored, negated))
                    return AtomKind::Unknown;
                continue;
            }
            m_at += c == '\\' ? 2 : 1;
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth == 0)
                return AtomKind::Split;
        }
        return AtomKind::Unknown;
    }

    static std::optional<int> number(std::string_view text)
    {
        if (text.empty() || text.size() > 4
            || !std::all_of(text.begin(), text.end(), [](char c) { return isDigit(static_cast<unsigned char>(c)); }))
            return std::nullopt;
        int value = 0;
        for (const char digit : text)
            value = value * 10 + (digit - '0');
        return value;
    }

    // The repetition after an atom (none: once), and its "?" that makes it lazy; false for forms not read.
    bool readRepeat(Repeat& repeat)
    {
        if (m_at >= m_text.size())
            return true;
        const char c = m_text[m_at];
        if (c == '*' || c == '+' || c == '?') {
            repeat = { c == '+' ? 1 : 0, c == '?' ? 1 : -1 };
            ++m_at;
        } else if (c == '{') {
            const std::size_t close = m_text.find('}', m_at);
            if (close == std::string_view::npos)
                return false;
            const std::string_view inside = m_text.substr(m_at + 1, close - m_at - 1);
            const std::size_t comma = inside.find(',');
            const std::optional<int> min = number(inside.substr(0, comma));
            const std::optional<int> max = comma == std::string_view::npos ? min
                : comma + 1 == inside.size()                               ? std::optional<int>(-1)
                                                                           : number(inside.substr(comma + 1));
            if (!min || !max)
                return false;
            repeat = { *min, *max };
            m_at = close + 1;
        } else {
            return true;
        }
        if (m_at < m_text.size() && m_text[m_at] == '?')
            ++m_at;
        return m_at >= m_text.size() || std::string_view("*+?{").find(m_text[m_at]) == std::string_view::npos;
    }

    // Under ignore case: the set with both cases of its letters, unless it holds k or s (which the Kelvin
    // sign and the long s, of more than one byte, fold to).
    static bool foldsToOneByte(ByteBits& bits)
    {
        for (const char letter : { 'k', 's' }) {
            const auto lower = static_cast<unsigned char>(letter);
            if (hasByte(bits, lower) || hasByte(bits, static_cast<unsigned char>(lower - 32)))
                return false;
        }
        for (unsigned c = 'a'; c <= 'z'; ++c) {
            if (hasByte(bits, static_cast<unsigned char>(c)) || hasByte(bits, static_cast<unsigned char>(c - 32))) {
                addByte(bits, static_cast<unsigned char>(c));
                addByte(bits, static_cast<unsigned char>(c - 32));
            }
        }
        return true;
    }

    // The atom `repeat` times: its first copies join the run so far, and when the count varies (or is long)
    // its last copies begin a new run, as they are what lies next to the atom after it.
    void add(const ByteBits& bits, const Repeat& repeat)
    {
        if (repeat.min == 0) {
            split();
            return;
        }
        const int copies = std::min(repeat.min, kMaxRun);
        m_run.insert(m_run.end(), static_cast<std::size_t>(copies), bits);
        if (repeat.max == repeat.min && repeat.min <= kMaxRun)
            return;
        split();
        m_run.insert(m_run.end(), static_cast<std::size_t>(copies), bits);
    }

    void split()
    {
        if (!m_run.empty())
            m_runs.push_back(std::move(m_run));
        m_run.clear();
    }

    std::string_view m_text;
    bool m_ignoreCase;
    std::size_t m_at = 0;
    std::vector<ByteBits> m_run;
    std::vector<std::vector<ByteBits>> m_runs;
};

} // namespace

std::vector<ByteBits> requiredByteRun(std::string_view expression, bool ignoreCase)
{
    if (expression.find("\\x") != std::string_view::npos)
        return {};
    const auto runs = RunReader(expression, ignoreCase).read();
    if (!runs)
        return {};
    std::vector<ByteBits> best;
    double bestShare = kMaxShare;
    for (const std::vector<ByteBits>& run : *runs) {
        for (std::size_t begin = 0; begin < run.size(); ++begin) {
            double product = 1;
            for (std::size_t end = begin + 1; end <= std::min(run.size(), begin + kMaxRun); ++end) {
                product *= share(run[end - 1]);
                if (product < bestShare) {
                    bestShare = product;
                    best.assign(run.begin() + static_cast<std::ptrdiff_t>(begin),
                        run.begin() + static_cast<std::ptrdiff_t>(end));
                }
            }
        }
    }
    return best;
}

} // namespace vellick
