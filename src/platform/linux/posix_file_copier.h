#pragma once

#include "platform/file_copier.h"

namespace vellick {

// Copies regular files with their permission bits and times. Each copy goes to a hidden temporary file in
// the target's folder, is flushed when it will replace a file, and is then renamed into place.
class PosixFileCopier : public FileCopier {
public:
    ShellResult copyFile(const std::string& source, const std::string& target, ReplaceDecision& replace) override;
    ShellResult copyToFolder(
        const std::vector<std::string>& sources, const std::string& folder, ReplaceDecision& replace) override;
};

} // namespace vellick
