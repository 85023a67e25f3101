#pragma once

#include <vector>

namespace vellick {

class CVellickDoc;

// The rows Delete and copy to folder act on: every checked row and the row of the current record, each
// once, in display order.
std::vector<int> takenRows(const CVellickDoc& doc);

enum class CopyMode { OneFile, ToFolder };

// Copy To's count rule: no check mark, or one on the current record's row only, copies the current file
// under a chosen name; anything else copies the checked files and the current one into a folder.
CopyMode copyModeFor(const CVellickDoc& doc);

} // namespace vellick
