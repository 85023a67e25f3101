// Runs a fuzz target without the fuzzing engine, so that every test run checks what the target checks:
// first each file of its seed corpus, then inputs made from the seeds by random edits drawn from a fixed
// seed (the same inputs every time). A broken expectation aborts, which fails the test.
//
//   <target>_replay CORPUS_FOLDER [EDITED_INPUTS]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

using Input = std::vector<uint8_t>;

std::vector<Input> readCorpus(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Input> inputs;
    for (const auto& file : files) {
        std::ifstream stream(file, std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }
    return inputs;
}

// One random edit of the kinds a fuzzer makes: a byte changed, bytes put in or taken out, a piece of
// another seed spliced in, the input cut short.
void edit(Input& input, const std::vector<Input>& seeds, std::mt19937& random)
{
    const auto below = [&](std::size_t limit) { return limit == 0 ? 0 : random() % limit; };
    switch (random() % 5) {
    case 0:
        if (!input.empty())
            input[below(input.size())] = static_cast<uint8_t>(random());
        break;
    case 1:
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(below(input.size() + 1)), 1 + below(8),
            static_cast<uint8_t>(random()));
        break;
    case 2:
        if (!input.empty()) {
            const std::size_t at = below(input.size());
            input.erase(input.begin() + static_cast<std::ptrdiff_t>(at),
                input.begin() + static_cast<std::ptrdiff_t>(std::min(input.size(), at + 1 + below(16))));
        }
        break;
    case 3: {
        const Input& other = seeds[below(seeds.size())];
        const std::size_t from = below(other.size());
        const std::size_t length = below(other.size() - from + 1);
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(below(input.size() + 1)),
            other.begin() + static_cast<std::ptrdiff_t>(from),
            other.begin() + static_cast<std::ptrdiff_t>(from + length));
        break;
    }
    default:
        input.resize(below(input.size() + 1));
        break;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER [EDITED_INPUTS]\n", argv[0]);
        return 2;
    }
    const std::vector<Input> seeds = readCorpus(argv[1]);
    const long edited = argc > 2 ? std::stol(argv[2]) : 1000;
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed in %s\n", argv[1]);
        return 2;
    }
    for (const Input& seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
    std::mt19937 random(20261207);
    for (long i = 0; i < edited; ++i) {
        Input input = seeds[random() % seeds.size()];
        for (unsigned edits = 1 + random() % 4; edits > 0; --edits)
            edit(input, seeds, random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld edited inputs passed\n", seeds.size(), edited);
    return 0;
}
