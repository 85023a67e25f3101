#pragma once

#include <string>
#include <vector>

namespace vellick {

// What the Files & File Types dialog lists for a folder: the names of its files that have an extension
// and do not begin with ".", in lower case, and the type patterns ("*" and an extension) present there.
// Both lists are sorted and free of duplicates.
struct FolderFileTypes {
    std::vector<std::string> files; // only the files of the type filter
    std::vector<std::string> types; // "*.*" first unless the filter's pattern is "*.*", then every pattern
};

// Reads the folder; `typeFilter` is "." and an extension, or ".*" for every file. A folder that cannot be
// read gives no files and only the filter's own pattern (and "*.*").
FolderFileTypes listFolderFileTypes(const std::string& folder, const std::string& typeFilter);

} // namespace vellick
