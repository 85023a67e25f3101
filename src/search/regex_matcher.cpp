#include "search/regex_matcher.h"

#include "base/byte_classes.h"
#include "search/search_options.h"

#include <re2/re2.h>

namespace vellick {

namespace {

// Lines are matched as grep matches them: nothing matches a line feed, ^ and $ anchor at line edges.
RE2::Options regexOptions(bool caseSensitive)
{
    RE2::Options options;
    options.set_log_errors(false);
    options.set_never_nl(true);
    options.set_case_sensitive(caseSensitive);
    return options;
}

} // namespace

std::optional<std::string> regexError(std::string_view expression)
{
    const RE2 regex(re2::StringPiece(expression.data(), expression.size()), regexOptions(true));
    if (regex.ok())
        return std::nullopt;
    return "Invalid regular expression: " + regex.error();
}

RegexMatcher::RegexMatcher(std::string_view expression, uint32_t flags)
    : m_regex(std::make_unique<RE2>("(?m)" + std::string(expression), regexOptions(!(flags & IgnoreCase))))
    , m_wholeWord(flags & WholeWord)
    , m_prefilter(expression, flags)
{
}

RegexMatcher::~RegexMatcher() = default;

std::optional<RegexMatcher::Match> RegexMatcher::find(
    std::string_view text, std::size_t from, std::size_t to, bool startIsBoundary) const
{
    const re2::StringPiece context(text.data(), text.size());
    re2::StringPiece found;
    while (from < to && m_regex->ok()) {
        if (!m_regex->Match(context, from, to, RE2::UNANCHORED, &found, 1))
            return std::nullopt;
        const auto begin = static_cast<std::size_t>(found.data() - text.data());
        const Match match { begin, begin + found.size() };
        if (match.end > match.begin && (!m_wholeWord || onWordBoundaries(text, match, startIsBoundary)))
            return match;
        from = begin + 1; // an empty match, or one that is not a whole word: try one byte further on
    }
    return std::nullopt;
}

bool RegexMatcher::onWordBoundaries(std::string_view text, const Match& match, bool startIsBoundary) const
{
    const bool boundaryBefore
        = match.begin == 0 ? startIsBoundary : !isAlnum(static_cast<unsigned char>(text[match.begin - 1]));
    return boundaryBefore && match.end < text.size() && !isAlnum(static_cast<unsigned char>(text[match.end]));
}

} // namespace vellick
