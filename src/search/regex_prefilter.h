#pragma once

#include "search/multi_literal_probe.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// Literals of which every match of a regular expression holds at least one (ASCII letters in either
// case), taken from RE2's prefilter, or, for an expression without such literals, a short run of byte sets
// that every match holds (requiredByteRun). The regex scanner runs RE2 only on the lines where one of them
// occurs, all looked for in one pass, so a line that cannot match is passed over at the speed of a byte
// search. An expression with neither (or one whose literals cannot be told reliably: bytes above 0x7F, \x
// escapes) has none and every line is matched. Built once per run with the matcher and shared by all threads.
class RegexPrefilter {
public:
    RegexPrefilter(std::string_view expression, uint32_t flags);

    bool active() const { return m_probe.has_value(); }
    // The literals searched for, lower-cased (tests and benchmarks show them); none for a run of byte sets.
    const std::vector<std::string>& literals() const { return m_literals; }

    // The lines of one text that may hold a match, found in order within one scan of a buffer.
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
        const RegexPrefilter& m_prefilter;
        std::array<MultiLiteralProbe::Candidate, 64> m_candidates;
    };

private:
    using Pattern = std::vector<ByteBits>; // the bytes each position may hold
    void addLiteral(std::string bytes);
    void makeProbe();
    std::size_t find(std::string_view text, std::size_t from, std::size_t to,
        std::array<MultiLiteralProbe::Candidate, 64>& candidates) const;

    std::vector<std::string> m_literals;
    std::vector<Pattern> m_patterns; // the literals, or the run of byte sets
    std::size_t m_shortest = 0; // bytes of the shortest pattern
    std::optional<MultiLiteralProbe> m_probe;
};

} // namespace vellick
