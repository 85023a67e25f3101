#pragma once

#include "search/byte_probe.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// Literals of which every match of a regular expression holds at least one (ASCII letters in either
// case), taken from RE2's prefilter. The regex scanner runs RE2 only on the lines where one of them
// occurs, so a line that cannot match is passed over at the speed of a byte search. An expression with no
// such literals (or one whose literals cannot be told reliably: bytes above 0x7F, \x escapes) has none and
// every line is matched. Built once per run with the matcher and shared by all threads.
class RegexPrefilter {
public:
    RegexPrefilter(std::string_view expression, uint32_t flags);

    bool active() const { return !m_literals.empty(); }
    // The literals searched for, lower-cased (tests and benchmarks show them).
    std::vector<std::string> literals() const;

    // The lines of one text that may hold a match, found in order. Used within one scan of a buffer that
    // does not change; each literal's next occurrence is remembered until it is passed.
    class LineFinder {
    public:
        explicit LineFinder(const RegexPrefilter& prefilter);

        struct Lines {
            std::size_t begin = 0;
            std::size_t end = 0; // past the line feed of the last line, or `to`
        };
        // Where RE2 must look after `from`: from the later of `from` and the start of the first line at or
        // after it that holds a literal ending by `to`, through that line's end. Without literals, all of
        // [from, to). begin == to when no line is left.
        Lines next(std::string_view text, std::size_t from, std::size_t to);

    private:
        std::size_t nextOccurrence(std::string_view text, std::size_t from, std::size_t to);

        const RegexPrefilter& m_prefilter;
        std::vector<std::size_t> m_next; // per literal: its next occurrence found, or where none was found
        std::vector<std::size_t> m_searchedTo; // per literal: the `to` that occurrence was looked for within
    };

private:
    struct Literal {
        std::string bytes; // lower case
        BytePairProbe probe; // its first and last byte, in either case
    };
    static Literal makeLiteral(std::string bytes);
    std::size_t find(const Literal& literal, std::string_view text, std::size_t from, std::size_t to) const;

    std::vector<Literal> m_literals;
};

} // namespace vellick
