#pragma once

#include <cstdio>
#include <cstdlib>

namespace vellick::fuzz {

// A broken expectation is a finding: say which one and abort, so libFuzzer keeps the input as a crash.
inline void fuzzCheck(bool condition, const char* expectation)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", expectation);
    std::abort();
}

} // namespace vellick::fuzz
