#pragma once

#include "support/temp_tree.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace vellick::test {

// Compares bytes with the golden file tests/golden/<name>. With VELLICK_UPDATE_GOLDEN=1 in the environment
// the golden file is written instead (review the difference before committing it). Header-only: the golden
// folder is known to the test programs, not to the support library.
inline void expectGolden(const std::string& name, const std::string& actual)
{
    const std::string path = std::string(VELLICK_GOLDEN_DIR) + "/" + name;
    const char* update = std::getenv("VELLICK_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    const std::string expected = readFile(path);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << path;
    EXPECT_EQ(actual, expected) << "differs from " << path;
}

} // namespace vellick::test
