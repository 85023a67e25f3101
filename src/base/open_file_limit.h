#pragma once

namespace vellick {

// Raises the process's limit of open files to the most it may have: the folder walk holds one open
// descriptor per level of a deep tree, and scans ahead hold a few more.
void raiseOpenFileLimit();

} // namespace vellick
