#pragma once

#include "search/regex_prefilter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace re2 {
class RE2;
}

namespace vellick {

// The message that refuses an expression ("Invalid regular expression: missing ): mutex_(lock"), or nothing
// when the expression is valid.
std::optional<std::string> regexError(std::string_view expression);

// One regular expression of a search, compiled once per run and shared by the scanners of all threads.
// It finds the hits of one line or of several lines at once: a match never holds a line feed, ^ and $
// anchor at line starts and ends, and matches are taken leftmost-first, never empty and never
// overlapping. Under whole word a match counts only when both its ends lie on word boundaries by the
// keyword rules: a byte that is not an ASCII letter or digit, or the start of the text (when the caller
// says so) before it, and such a byte after it; the end of the text is no boundary.
class RegexMatcher {
public:
    struct Match {
        std::size_t begin = 0;
        std::size_t end = 0;
    };

    // `flags` are the search's option flags: IgnoreCase and WholeWord apply. The expression passed
    // regexError(); an invalid one matches nothing.
    RegexMatcher(std::string_view expression, uint32_t flags);
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    // The first counting match in text[from, to). The bytes of `text` outside that range are context:
    // they decide ^, $ and word boundaries but are never part of a match. `startIsBoundary`: text[0] is
    // preceded by a word boundary (the file's start under whole word).
    std::optional<Match> find(std::string_view text, std::size_t from, std::size_t to, bool startIsBoundary) const;

    // Where the search for the next match goes on after `match`: at its end, or under whole word past the
    // delimiter that ended it, which belongs to the match as it does to a keyword's.
    std::size_t resumeAfter(const Match& match) const { return match.end + (m_wholeWord ? 2 : 0); }

    bool wholeWord() const { return m_wholeWord; }
    // The literals one of which every match holds, to pass over the lines that cannot match.
    const RegexPrefilter& prefilter() const { return m_prefilter; }

private:
    bool onWordBoundaries(std::string_view text, const Match& match, bool startIsBoundary) const;

    std::unique_ptr<re2::RE2> m_regex;
    bool m_wholeWord = false;
    RegexPrefilter m_prefilter;
};

} // namespace vellick
