#pragma once

#include "base/unique_fd.h"
#include "documents/container_reader.h"

#include <optional>

namespace vellick {

class ArchiveHandle;

struct MemberCopy {
    std::optional<UniqueFd> fd; // nothing when no memory file could be made or written
    bool cutAtLimit = false;
    bool damaged = false; // the data ended in an error; what came before it is in fd
};

// True when `expanded` bytes made from `compressedRead` bytes of the archive pass limits.maxExpansionRatio.
bool expandsTooMuch(uint64_t expanded, uint64_t compressedRead, const ContainerLimits& limits);

// Copies the data of the archive's current entry into a memory file, block by block, keeping holes of sparse
// entries as holes, and cutting it where it passes limits.maxExpandedBytes or expands more than
// limits.maxExpansionRatio times the bytes read from the archive meanwhile.
MemberCopy copyMember(
    ArchiveHandle& archive, int64_t declaredSize, const ContainerLimits& limits, const std::atomic<bool>* cancel);

} // namespace vellick
