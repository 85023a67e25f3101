#pragma once

#include <cstddef>
#include <functional>

namespace vellick {

// Raises the process's limit of open files to the most it may have: the folder walk holds one open
// descriptor per level of a deep tree, and scans ahead hold a few more.
void raiseOpenFileLimit();

// How many more descriptors this process may open now: its limit less those it has open.
std::size_t freeDescriptors();

// Whether an open failed for want of a descriptor (the process's or the system's limit).
bool outOfDescriptors(int error);

// Opens `name` relative to `dirFd` like openat(); where that fails for want of a descriptor, tries again
// for a while (a scan or a folder elsewhere in the search will free one) unless `cancelled` says to stop.
int openWaitingForDescriptor(int dirFd, const char* name, int flags, const std::function<bool()>& cancelled);

} // namespace vellick
