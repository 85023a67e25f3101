#pragma once

#include <string>

namespace vellick {

// The type name of a file and the index of its small icon in the program's icon list.
struct FileTypeInfo {
    std::string typeName; // empty when the desktop knows none
    int iconIndex = 0;
};

// What the result document asks of the desktop for each found file. The Linux implementation reads the
// shared MIME database; tests use a fake.
class FileTypeService {
public:
    virtual ~FileTypeService() = default;
    virtual FileTypeInfo describe(const std::string& path) = 0;
};

} // namespace vellick
