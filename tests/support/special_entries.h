#pragma once

#include <string>

namespace vellick::test {

// Builders of the entries a hostile tree holds, for the robustness tests. Each returns false when the
// system refuses (for example mknod without root), so a test can skip that part with a message.

bool makeNamedPipe(const std::string& path);
// A socket inode, left behind by a listening socket that is closed again.
bool makeSocketNode(const std::string& path);
// A character ('c') or block ('b') device node; needs root.
bool makeDeviceNode(const std::string& path, char type, unsigned major, unsigned minor);
bool makeLink(const std::string& target, const std::string& path);

// Makes `depth` nested folders named `name` below `folder` through open descriptors (so the chain may be
// longer than PATH_MAX), writes `content` to `fileName` in the deepest one and returns the file's path.
std::string makeFolderChain(const std::string& folder, const std::string& name, int depth, const std::string& fileName,
    const std::string& content);

// Removes a tree of any depth or path length through open descriptors (std::filesystem cannot).
void removeTree(const std::string& path);

} // namespace vellick::test
