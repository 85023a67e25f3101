#pragma once

#include "support/process_runner.h"
#include "support/temp_tree.h"

#include <string>
#include <vector>

namespace vellick::test {

// A fixed tree for vellick-cli: "tree/" (the searched folder, with special entries in it), "odd/" (files
// with odd names) and "list.txt" (a list of files for --listed). Every file has the same time, so the
// output depends on nothing but the contents.
class CliFixture {
public:
    static constexpr long long kModified = 1700000000;

    CliFixture();

    const TempTree& tree() const { return m_tree; }
    // Runs vellick-cli with the arguments, in tree/.
    ProcessResult run(const std::vector<std::string>& args) const;
    // The run as a transcript: the command, stdout, stderr and exit status, with the temporary root
    // replaced by <ROOT> and the time spent by <TIME>.
    std::string transcript(const std::vector<std::string>& args) const;

private:
    void writeTree() const;
    void writeOddNames() const;

    TempTree m_tree;
};

// Replaces every occurrence of `from` in `text`.
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

} // namespace vellick::test
