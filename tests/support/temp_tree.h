#pragma once

#include <string>
#include <string_view>

namespace vellick::test {

// A temporary folder for one test, removed with everything in it when the object goes.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return m_root; }
    // The absolute path of a relative one inside the tree.
    std::string path(std::string_view relative) const;
    // Writes a file (its folders are made as needed) and returns its absolute path.
    std::string write(std::string_view relative, std::string_view content) const;
    // Writes over an existing file in place and cuts it to the content's size: for tests that rewrite
    // one file thousands of times (truncating to zero first makes the file system flush every time).
    std::string rewrite(std::string_view relative, std::string_view content) const;
    std::string makeFolder(std::string_view relative) const;
    void setModified(std::string_view relative, long long seconds, long nanoseconds = 0) const;
    // Special entries for the walk: a named pipe, a listening-socket inode, a symbolic link.
    std::string makeFifo(std::string_view relative) const;
    std::string makeSocket(std::string_view relative) const;
    std::string makeSymlink(std::string_view target, std::string_view relative) const;
    void setMode(std::string_view relative, unsigned mode) const;

private:
    std::string m_root;
};

// Whether anything, a dangling symbolic link included, is at the path.
bool pathExists(const std::string& path);

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);

} // namespace vellick::test
