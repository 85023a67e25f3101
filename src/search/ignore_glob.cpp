#include "search/ignore_glob.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace vellick {

namespace {

// The character classes a bracket expression may name, by the C locale.
bool inNamedClass(std::string_view name, unsigned char byte)
{
    static constexpr std::array<std::pair<std::string_view, int (*)(int)>, 12> kClasses { {
        { "alnum", std::isalnum },
        { "alpha", std::isalpha },
        { "blank", std::isblank },
        { "cntrl", std::iscntrl },
        { "digit", std::isdigit },
        { "graph", std::isgraph },
        { "lower", std::islower },
        { "print", std::isprint },
        { "punct", std::ispunct },
        { "space", std::isspace },
        { "upper", std::isupper },
        { "xdigit", std::isxdigit },
    } };
    for (const auto& [className, test] : kClasses) {
        if (className == name)
            return byte < 0x80 && test(byte) != 0;
    }
    return false;
}

bool knownClassName(std::string_view name)
{
    for (std::string_view known : { "alnum", "alpha", "blank", "cntrl", "digit", "graph", "lower", "print", "punct",
             "space", "upper", "xdigit" }) {
        if (known == name)
            return true;
    }
    return false;
}

} // namespace

IgnoreGlob::IgnoreGlob(std::string_view pattern)
{
    compile(pattern);
}

void IgnoreGlob::compile(std::string_view pattern)
{
    std::size_t i = 0;
    while (i < pattern.size() && !m_broken) {
        const char c = pattern[i];
        if (c == '\\') {
            // A trailing backslash escapes nothing and can match no byte.
            if (i + 1 == pattern.size()) {
                m_broken = true;
                break;
            }
            m_tokens.push_back({ Kind::Byte, static_cast<unsigned char>(pattern[i + 1]), {} });
            i += 2;
        } else if (c == '?') {
            m_literal = false;
            m_tokens.push_back({ Kind::AnyByte, 0, {} });
            ++i;
        } else if (c == '[') {
            m_literal = false;
            i = compileClass(pattern, i);
        } else if (c == '*') {
            m_literal = false;
            std::size_t end = i;
            while (end < pattern.size() && pattern[end] == '*')
                ++end;
            const bool segmentStart = i == 0 || pattern[i - 1] == '/';
            const bool segmentEnd = end == pattern.size() || pattern[end] == '/';
            if (end - i >= 2 && segmentStart && segmentEnd) {
                if (end == pattern.size()) {
                    m_tokens.push_back({ Kind::AnyRun, 0, {} });
                } else {
                    m_tokens.push_back({ Kind::Folders, 0, {} }); // "**/": no folder or any number of them
                    ++end;
                }
            } else {
                m_tokens.push_back({ Kind::Star, 0, {} });
            }
            i = end;
        } else {
            m_tokens.push_back({ Kind::Byte, static_cast<unsigned char>(c), {} });
            ++i;
        }
    }
}

// Compiles "[...]" starting at `open`; returns the index after it. "!" or "^" first negates, "]" first is
// literal, "a-z" is a range, "[:alpha:]" a named class, backslash escapes. Unterminated: broken.
std::size_t IgnoreGlob::compileClass(std::string_view pattern, std::size_t open)
{
    Token token { Kind::Class, 0, std::string(256, '0') };
    std::size_t i = open + 1;
    bool negated = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negated = true;
        ++i;
    }
    bool first = true;
    int previous = -1; // the last single byte added, for a range
    for (; i < pattern.size(); first = false) {
        unsigned char c = static_cast<unsigned char>(pattern[i]);
        if (c == ']' && !first)
            break;
        if (c == '[' && i + 1 < pattern.size() && pattern[i + 1] == ':') {
            const std::size_t close = pattern.find(":]", i + 2);
            if (close == std::string_view::npos) {
                m_broken = true;
                return pattern.size();
            }
            const std::string_view name = pattern.substr(i + 2, close - i - 2);
            if (!knownClassName(name)) {
                m_broken = true;
                return pattern.size();
            }
            for (int b = 0; b < 256; ++b) {
                if (inNamedClass(name, static_cast<unsigned char>(b)))
                    token.set[b] = '1';
            }
            previous = -1;
            i = close + 2;
            continue;
        }
        if (c == '\\') {
            if (++i == pattern.size())
                break;
            c = static_cast<unsigned char>(pattern[i]);
        }
        if (c == '-' && previous >= 0 && i + 1 < pattern.size() && pattern[i + 1] != ']') {
            ++i;
            unsigned char last = static_cast<unsigned char>(pattern[i]);
            if (last == '\\' && i + 1 < pattern.size())
                last = static_cast<unsigned char>(pattern[++i]);
            for (int b = previous; b <= last; ++b)
                token.set[b] = '1';
            previous = -1;
            ++i;
            continue;
        }
        token.set[c] = '1';
        previous = c;
        ++i;
    }
    if (i >= pattern.size()) {
        m_broken = true;
        return pattern.size();
    }
    if (negated) {
        for (char& flag : token.set)
            flag = flag == '1' ? '0' : '1';
    }
    token.set['/'] = '0';
    m_tokens.push_back(std::move(token));
    return i + 1;
}

bool IgnoreGlob::tokenMatches(const Token& token, unsigned char byte) const
{
    switch (token.kind) {
    case Kind::Byte:
        return byte == token.byte;
    case Kind::AnyByte:
        return byte != '/';
    case Kind::Class:
        return token.set[byte] == '1';
    default:
        return false;
    }
}

// One pass over the path per token: reachable[j] says that the tokens so far can match path[0, j).
bool IgnoreGlob::matches(std::string_view path) const
{
    if (m_broken)
        return false;
    const std::size_t n = path.size();
    std::vector<char> reachable(n + 1, 0);
    std::vector<char> next(n + 1, 0);
    reachable[0] = 1;
    for (const Token& token : m_tokens) {
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (std::size_t j = 0; j <= n; ++j) {
            switch (token.kind) {
            case Kind::Byte:
            case Kind::AnyByte:
            case Kind::Class:
                if (reachable[j] && j < n && tokenMatches(token, static_cast<unsigned char>(path[j])))
                    next[j + 1] = 1;
                break;
            case Kind::Star: // carries on from a reachable start over bytes that are not "/"
                if (reachable[j] || (j > 0 && next[j - 1] && path[j - 1] != '/'))
                    next[j] = 1;
                break;
            case Kind::AnyRun:
                if (reachable[j] || (j > 0 && next[j - 1]))
                    next[j] = 1;
                break;
            case Kind::Folders: // empty, or any run that ends with "/"
                if (reachable[j])
                    any = true;
                if (reachable[j] || (any && j > 0 && path[j - 1] == '/'))
                    next[j] = 1;
                break;
            }
        }
        reachable.swap(next);
    }
    return reachable[n] != 0;
}

} // namespace vellick
