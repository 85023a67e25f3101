// vellick-cli's output on a fixed tree, against golden transcripts under tests/golden/cli/.
// VELLICK_UPDATE_GOLDEN=1 rewrites them (review the difference before committing it).

#include "cli/cli_fixture.h"
#include "support/golden.h"

#include <gtest/gtest.h>

using namespace vellick::test;

namespace {

struct GoldenCase {
    const char* name;
    std::vector<std::string> args;
};

const GoldenCase kCases[] = {
    { "plain", { "fox" } },
    { "subfolders", { "-r", "fox" } },
    { "all_words_hits", { "-r", "--hits", "fox", "dog" } },
    { "any_word_unicode_limit", { "--recursive", "--hits", "--mode", "any", "--unicode", "-k", "2", "fox", "dog" } },
    { "whole_word_match_case", { "-r", "--hits", "-w", "-s", "fox" } },
    { "phrase", { "-r", "--hits", "--mode", "phrase", "--", "lazy", "dog" } },
    { "patterns_hidden", { "-r", "--hidden", "--files", " *.TXT ; *.md,", "fox" } },
    { "folder_option", { "--folder", "notes", "--subfolders", "--hits", "--unicode", "fox" } },
    { "listed_files", { "--listed", "../list.txt", "--hits", "fox" } },
    { "hit_limit_clamped", { "--hits", "-k", "0", "fox" } },
    { "none_found", { "-r", "zebra" } },
    { "odd_names_json", { "-d", "../odd", "--hits", "--relative", "fox" } },
    { "odd_names_plain", { "-d", "../odd", "fox" } },
    { "max_depth", { "--max-depth", "1", "--hidden", "--unicode", "fox" } },
    { "count", { "-c", "--unicode", "fox" } },
    { "count_at_limit", { "--count", "--max-count=2", "--any", "fox", "dog" } },
    // each word has its own limit: "+" only where one of them reached it, not where their sum did
    { "count_all_words", { "-r", "--count", "--max-count=2", "fox", "dog" } },
    // paths only: the same files as all_words_hits, though a scan ends at each word's first hit
    { "all_words_paths", { "-r", "fox", "dog" } },
    { "lines", { "-n", "fox", "dog" } },
    { "lines_color", { "-n", "--color=always", "-w", "--phrase", "lazy", "dog" } },
    { "keywords_then_folders", { "-e", "lazy", "-e", "fox", "--relative", ".", "../odd", "-g", "*.txt" } },
    { "quiet", { "-q", "fox" } },
    { "scope_patterns_folders", { "-g", "*.txt;*.md;!a*", "--exclude-dir", "deep", "--relative", "fox" } },
    { "scope_binary_size", { "-I", "--max-size", "1K", "fox" } },
    { "scope_without_match", { "-L", "--newer", "2023-01-01", "-d", "notes;.", "fox" } },
    { "help", { "--help" } },
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GoldenCase& golden, std::ostream* out)
{
    *out << golden.name;
}

class CliGolden : public testing::TestWithParam<GoldenCase> { };

} // namespace

TEST_P(CliGolden, MatchesTheTranscript)
{
    const CliFixture fixture;
    expectGolden(std::string("cli/") + GetParam().name + ".txt", fixture.transcript(GetParam().args));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliGolden, testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.name); });
