// Throughput of the file scanner per search mode, in bytes per second, on generated source-like text.
#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"
#include "search/search_options.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using namespace vellick;

constexpr std::size_t kFileSize = 8 << 20;

// One file for all benchmarks: lines of identifiers, keywords and punctuation, few real hits.
const std::string& sampleFile()
{
    static const std::string path = [] {
        static const char* const words[] = { "static", "int", "return", "struct", "spin_unlock", "if", "else",
            "mutex_init", "unsigned", "long", "void", "const", "char", "for", "while", "rcu_dereference", "x", "data",
            "len", "err", "goto", "out", "buffer", "device", "lock_page", "list_head" };
        std::mt19937 random(42);
        std::string text;
        while (text.size() < kFileSize) {
            text += "\t";
            for (int i = 0; i < 8; ++i) {
                text += words[random() % std::size(words)];
                text += (random() % 4 == 0) ? "(" : " ";
            }
            text += random() % 500 == 0 ? "mutex_lock(&dev->lock);\n" : ";\n";
        }
        std::string file = "/tmp/vellick-bench-XXXXXX";
        const int fd = mkstemp(file.data());
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            std::abort();
        close(fd);
        return file;
    }();
    return path;
}

void scanWith(benchmark::State& state, const std::string& keywords, uint32_t flags)
{
    const KeywordList list(keywords, flags);
    const ScanPlan plan(list, 1024);
    FileScanner scanner(plan);
    ScanResult result;
    for (auto _ : state) {
        scanner.scan(AT_FDCWD, sampleFile().c_str(), result);
        benchmark::DoNotOptimize(result.hits.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

std::string words(int count)
{
    static const char* const pool[] = { "mutex_lock", "spin_lock", "rcu_read", "kfree", "queue_work", "printk",
        "copy_from_user", "dma_map", "irq_save", "atomic_inc", "wake_up", "schedule", "jiffies", "smp_mb", "get_user",
        "put_page", "vmalloc", "ioremap", "clk_get", "of_node" };
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(i ? " " : "") + pool[i % std::size(pool)];
    return text;
}

void BM_OneLiteral(benchmark::State& s)
{
    scanWith(s, "mutex_lock", 0);
}
void BM_IgnoreCase(benchmark::State& s)
{
    scanWith(s, "mutex_lock", IgnoreCase);
}
void BM_WholeWord(benchmark::State& s)
{
    scanWith(s, "mutex_lock", IgnoreCase | WholeWord);
}
void BM_Phrase(benchmark::State& s)
{
    scanWith(s, "mutex_lock(&dev->lock)", IgnoreCase | WholePhrase);
}
void BM_AnyWords(benchmark::State& s)
{
    scanWith(s, words(static_cast<int>(s.range(0))), IgnoreCase | AnyWord);
}
void BM_AllWords(benchmark::State& s)
{
    scanWith(s, words(static_cast<int>(s.range(0))), IgnoreCase | AllWords);
}
void BM_UnicodeAware(benchmark::State& s)
{
    scanWith(s, "mutex_lock", IgnoreCase | UnicodeAware);
}

// Regular expressions: several literals, one required literal, and none (a run of byte sets).
void BM_RegexAlternation(benchmark::State& s)
{
    scanWith(s, "kmalloc|kfree|vmalloc", IgnoreCase | Regex);
}
void BM_RegexRequiredLiteral(benchmark::State& s)
{
    scanWith(s, "mutex_(un)?lock\\w*", IgnoreCase | Regex);
}
void BM_RegexNoLiteral(benchmark::State& s)
{
    scanWith(s, "[A-Z]{4,}_[0-9]+", IgnoreCase | Regex);
}

} // namespace

BENCHMARK(BM_OneLiteral);
BENCHMARK(BM_IgnoreCase);
BENCHMARK(BM_WholeWord);
BENCHMARK(BM_Phrase);
BENCHMARK(BM_AnyWords)->Arg(2)->Arg(5)->Arg(20);
BENCHMARK(BM_AllWords)->Arg(2)->Arg(5)->Arg(20);
BENCHMARK(BM_UnicodeAware);
BENCHMARK(BM_RegexAlternation);
BENCHMARK(BM_RegexRequiredLiteral);
BENCHMARK(BM_RegexNoLiteral);

BENCHMARK_MAIN();
