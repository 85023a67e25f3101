#pragma once

#include "platform/shell_services.h"

#include <string>

namespace vellick::test {

// Type names without a desktop: "EXT file" from the name's extension, none without one.
class FakeFileTypes : public vellick::FileTypeService {
public:
    vellick::FileTypeInfo describe(const std::string& path) override
    {
        ++calls;
        const std::size_t slash = path.rfind('/');
        const std::size_t dot = path.rfind('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            return {};
        return { path.substr(dot + 1) + " file", 7 };
    }

    int calls = 0;
};

} // namespace vellick::test
