#pragma once

#include <cstddef>
#include <functional>

namespace vellick {

// Raises the process's limit of open files to the most it may have: the folder walk keeps the folders on
// its way down open, and files queued for scanning keep theirs, as far as the limit leaves room (the
// search run shares out freeDescriptors()); more room means fewer folders opened again.
void raiseOpenFileLimit();

// How many more descriptors this process may open now: its limit less those it has open.
std::size_t freeDescriptors();

// Whether an open failed for want of a descriptor (the process's or the system's limit).
bool outOfDescriptors(int error);

// Opens `name` relative to `dirFd` like openat(); where that fails for want of a descriptor, tries again
// for a while (a scan or a folder elsewhere in the search will free one) unless `cancelled` says to stop.
int openWaitingForDescriptor(int dirFd, const char* name, int flags, const std::function<bool()>& cancelled);

} // namespace vellick
