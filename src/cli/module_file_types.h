#pragma once

#include "platform/shell_services.h"

#include <mutex>
#include <ostream>
#include <string>

namespace vellick {

// Type names for a report's type column, from the file-type module (vellick-file-types.so), which is
// loaded the first time a name is asked for: vellick-cli links no Qt and runs without it otherwise. The
// module is looked for beside the program (a build folder) and in ../lib/vellick (an installation).
class ModuleFileTypes : public FileTypeService {
public:
    explicit ModuleFileTypes(std::ostream& err);
    ~ModuleFileTypes() override;
    ModuleFileTypes(const ModuleFileTypes&) = delete;
    ModuleFileTypes& operator=(const ModuleFileTypes&) = delete;

    FileTypeInfo describe(const std::string& path) override;

private:
    void load();

    std::ostream& m_err;
    std::once_flag m_loaded;
    void* m_handle = nullptr;
    FileTypeService* m_service = nullptr;
    void (*m_destroy)(FileTypeService*) = nullptr;
};

} // namespace vellick
