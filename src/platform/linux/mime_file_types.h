#pragma once

#include "platform/shell_services.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace vellick {

// Type names and icons from the shared MIME database. The icon index points into one list of icon
// names that this object keeps (the MIME type's icon name, then its generic icon name); the window turns
// the names into theme icons. Safe to call from several threads.
class MimeFileTypes : public FileTypeService {
public:
    FileTypeInfo describe(const std::string& path) override;

    // The icon names in index order; index 0 is always the plain file icon.
    std::vector<std::vector<std::string>> iconNames() const;

private:
    int iconIndexFor(const std::string& iconName, const std::string& genericIconName);

    mutable std::mutex m_mutex;
    std::vector<std::vector<std::string>> m_icons { { "text-x-generic" } };
    std::unordered_map<std::string, int> m_iconIndexes;
};

} // namespace vellick
