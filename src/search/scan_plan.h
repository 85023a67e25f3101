#pragma once

#include "search/byte_probe.h"
#include "search/keyword_list.h"
#include "search/match_table.h"
#include "search/multi_literal_probe.h"
#include "search/regex_matcher.h"
#include "search/scan_types.h"
#include "search/search_options.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vellick {

// One pattern ready for scanning: its bytes and, per file kind, the two positions with the rarest small
// sets of matching bytes, where candidates are looked for (none when no position matches three bytes or
// fewer: every start is then a candidate).
struct CompiledPattern {
    std::string bytes;
    std::array<std::optional<BytePairProbe>, 2> probe; // indexed by kindIndex()
};

// Where any pattern of a several-pattern search may start, found in one pass: the probe looks for a few
// consecutive positions of each pattern, beginning at the pattern's offset (its rarest stretch).
struct PatternSetProbe {
    MultiLiteralProbe probe;
    std::vector<std::size_t> offsets; // per pattern
};

// The kind of a stream told by its first bytes: binary when one of the first ScanPlan::kKindProbeBytes
// (at most `size`) is above 0x7F.
FileKind kindOfStreamHead(const unsigned char* data, std::size_t size);

constexpr std::size_t kindIndex(FileKind kind)
{
    return kind == FileKind::Binary ? 1 : 0;
}

// What a search's scope changes in each scan: files classed as binary are skipped after their first read;
// with files without hits a file is found when it holds no match (its first hit ends its scan).
struct ScanChoices {
    bool skipBinary = false;
    bool filesWithoutHits = false;
};

// Everything a file scan needs, built once per search run from the keyword list, the flags and the hit
// limit. Fewer than two patterns use the single-pattern scanner's rules, more the multi-pattern scanner's.
// A regular expression is compiled instead of byte patterns; its matcher is shared by all scanners.
class ScanPlan {
public:
    static constexpr std::size_t kBlockSize = 51200;
    static constexpr std::size_t kMinCarry = 3200;
    static constexpr std::size_t kKindProbeBytes = 256;

    ScanPlan(const KeywordList& keywords, int maxKeys, ScanChoices choices = {});

    bool singlePattern() const { return m_singlePattern; }
    bool wholeWord() const { return m_flags & WholeWord; }
    bool allWords() const { return !m_singlePattern && (m_flags & AllWords); }
    bool unicodeAware() const { return m_flags & UnicodeAware; }
    int maxKeys() const { return m_maxKeys; }
    bool skipBinary() const { return m_choices.skipBinary; }
    bool filesWithoutHits() const { return m_choices.filesWithoutHits; }
    // True when a scan that gave `hits` stopped taking hits at the limit: under "match all words" one
    // pattern reached it (each has its own), otherwise the file's hits together did.
    bool hitLimitReached(std::span<const Hit> hits) const;
    uint32_t flags() const { return m_flags; }
    // The expression of a regular-expression search, or null.
    const RegexMatcher* regex() const { return m_regex.get(); }
    std::size_t carrySize() const { return m_carrySize; }
    std::size_t patternCount() const { return m_patterns.size(); }
    const CompiledPattern& pattern(std::size_t index) const { return m_patterns[index]; }
    const MatchTable& table(FileKind kind) const { return kind == FileKind::Binary ? m_binaryTable : m_textTable; }
    // The one-pass probe of a search with several patterns, or null.
    const PatternSetProbe* setProbe(FileKind kind) const
    {
        const auto& probe = m_setProbes[kindIndex(kind)];
        return probe ? &*probe : nullptr;
    }
    // Bytes the plain or wide forms drop from a match's length: the two delimiters under whole word.
    uint32_t delimiterBytes() const { return wholeWord() ? 2 : 0; }
    // Documents and archives are searched inside (their text, their members) instead of as raw bytes.
    bool insideDocuments() const { return m_insideDocuments; }
    void setInsideDocuments(bool inside) { m_insideDocuments = inside; }

private:
    std::optional<BytePairProbe> chooseProbe(const std::string& bytes, FileKind kind) const;
    std::optional<PatternSetProbe> buildSetProbe(FileKind kind) const;

    std::vector<CompiledPattern> m_patterns;
    MatchTable m_textTable;
    MatchTable m_binaryTable;
    std::array<std::optional<PatternSetProbe>, 2> m_setProbes; // indexed by kindIndex()
    uint32_t m_flags = 0;
    int m_maxKeys = 1024;
    ScanChoices m_choices;
    bool m_singlePattern = true;
    bool m_insideDocuments = false;
    std::size_t m_carrySize = kMinCarry;
    std::shared_ptr<const RegexMatcher> m_regex;
};

} // namespace vellick
