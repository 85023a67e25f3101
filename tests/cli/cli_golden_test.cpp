// vellick-cli's output on a fixed tree, against golden transcripts under tests/golden/cli/.
// VELLICK_UPDATE_GOLDEN=1 rewrites them (review the difference before committing it).

#include "cli/cli_fixture.h"

#include <cstdlib>
#include <fstream>
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

class CliGolden : public testing::TestWithParam<GoldenCase> { };

std::string goldenPath(const char* name)
{
    return std::string(VELLICK_GOLDEN_DIR) + "/cli/" + name + ".txt";
}

} // namespace

TEST_P(CliGolden, MatchesTheTranscript)
{
    const CliFixture fixture;
    const std::string actual = fixture.transcript(GetParam().args);
    const std::string path = goldenPath(GetParam().name);
    if (const char* update = std::getenv("VELLICK_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, readFile(path)) << "golden file " << path;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliGolden, testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.name); });
