#include "results/cline.h"

#include <algorithm>
#include <numeric>

namespace vellick {

void CLine::clearHits()
{
    hitOffsets.clear();
    hitLines.clear();
    hitLengths.clear();
    contexts.clear();
    contextPositions.clear();
    hitKeywords.clear();
    contextState = ContextsNotLoaded;
}

void CLine::appendHit(uint64_t line, uint64_t offset, uint32_t length, uint8_t patternNumber)
{
    hitLines.push_back(line);
    hitLengths.push_back(length);
    hitOffsets.push_back(offset);
    contexts.emplace_back();
    contextPositions.push_back(0);
    hitKeywords.push_back(patternNumber);
}

namespace {
template <typename T> void permute(std::vector<T>& values, const std::vector<std::size_t>& order)
{
    std::vector<T> sorted;
    sorted.reserve(values.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(values[index]));
    values = std::move(sorted);
}
} // namespace

void CLine::orderHitsByOffset()
{
    if (std::is_sorted(hitOffsets.begin(), hitOffsets.end()))
        return;
    std::vector<std::size_t> order(hitCount());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(
        order.begin(), order.end(), [this](std::size_t a, std::size_t b) { return hitOffsets[a] < hitOffsets[b]; });
    permute(hitOffsets, order);
    permute(hitLines, order);
    permute(hitLengths, order);
    permute(contexts, order);
    permute(contextPositions, order);
    permute(hitKeywords, order);
}

std::array<bool, 100> CLine::keywordsHit() const
{
    std::array<bool, 100> flags {};
    for (uint8_t k : hitKeywords) {
        if (k < flags.size())
            flags[k] = true;
    }
    return flags;
}

void CLine::dropContexts()
{
    if (contextState != ContextsLoaded)
        return;
    for (std::string& text : contexts)
        std::string().swap(text);
    contextState = ContextsNotLoaded;
}

std::string_view CLine::fileName() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

std::string_view CLine::folder() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(0, slash);
}

} // namespace vellick
