#pragma once

#include <string>
#include <vector>

namespace vellick {

// Puts a used text at the top of a recent list (most recent first). The text is looked up as a whole,
// ignoring ASCII case, from the second entry on and the first entry last: not found, it is inserted
// first; found further down, that entry moves to the top with the new spelling; found only as the first
// entry, the list stays as it is (keeping its stored case). Returns the index to select, or -1.
int updateRecentList(std::vector<std::string>& list, const std::string& text);

} // namespace vellick
