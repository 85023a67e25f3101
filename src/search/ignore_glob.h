#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// A glob of an ignore file, compiled once and matched against "/"-separated relative paths. "*" and "?"
// and bracket expressions never match "/"; a run of two or more "*" that fills a whole path segment
// ("**/x", "x/**/y", "x/**") also matches across "/". Backslash makes the next byte literal. Matching is
// byte-wise and case-sensitive, and takes time proportional to the pattern's tokens times the path's
// bytes, whatever the pattern (no backtracking blow-up on hostile ignore files).
class IgnoreGlob {
public:
    explicit IgnoreGlob(std::string_view pattern);

    bool matches(std::string_view path) const;
    // Whether the pattern holds no wildcard at all (then it matches only itself).
    bool literal() const { return m_literal; }

private:
    enum class Kind { Byte, AnyByte, Class, Star, AnyRun, Folders };
    struct Token {
        Kind kind = Kind::Byte;
        unsigned char byte = 0;
        std::string set; // Class: 256 flags, "1" where the byte is in the class
    };

    void compile(std::string_view pattern);
    std::size_t compileClass(std::string_view pattern, std::size_t open);
    bool tokenMatches(const Token& token, unsigned char byte) const;

    std::vector<Token> m_tokens;
    bool m_literal = true;
    bool m_broken = false; // an unterminated or malformed bracket expression: matches nothing
};

} // namespace vellick
