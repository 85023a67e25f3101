#pragma once

#include <string>

namespace vellick::test {

// Builders of the entries a hostile tree holds that TempTree does not make, for the robustness tests.

// A character ('c') or block ('b') device node; needs root.
bool makeDeviceNode(const std::string& path, char type, unsigned major, unsigned minor);

// Makes `depth` nested folders named `name` below `folder` through open descriptors (so the chain may be
// longer than PATH_MAX), writes `content` to `fileName` in the deepest one and returns the file's path.
std::string makeFolderChain(const std::string& folder, const std::string& name, int depth, const std::string& fileName,
    const std::string& content);

// Removes a tree of any depth or path length through open descriptors (std::filesystem cannot).
void removeTree(const std::string& path);

} // namespace vellick::test
