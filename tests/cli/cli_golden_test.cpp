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
    { "subfolders", { "-s", "fox" } },
    { "all_words_hits", { "-s", "--hits", "fox", "dog" } },
    { "any_word_unicode_limit", { "--recursive", "--hits", "-m", "any", "-u", "-k", "2", "fox", "dog" } },
    { "whole_word_match_case", { "-r", "--hits", "-w", "-c", "fox" } },
    { "phrase", { "-s", "--hits", "--mode", "phrase", "--", "lazy", "dog" } },
    { "patterns_hidden", { "-s", "-H", "--files", " *.TXT ; *.md,", "fox" } },
    { "folder_option", { "--folder", "notes", "--subfolders", "--hits", "--unicode", "fox" } },
    { "listed_files", { "-l", "../list.txt", "--hits", "fox" } },
    { "hit_limit_clamped", { "--hits", "-k", "0", "fox" } },
    { "none_found", { "-s", "zebra" } },
    { "odd_names_json", { "-d", "../odd", "--hits", "fox" } },
    { "odd_names_plain", { "-d", "../odd", "fox" } },
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
