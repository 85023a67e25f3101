#pragma once

#include "platform/file_manager.h"

#include <memory>

class QObject;

namespace vellick {

class Launcher;

// Open Containing Folder on a freedesktop desktop: the org.freedesktop.FileManager1 ShowItems call on
// the session bus, answered asynchronously; when no file manager answers, the folder is opened with its
// default application through the launcher. The launcher belongs to the caller.
class FreedesktopFileManager : public FileManager {
public:
    explicit FreedesktopFileManager(Launcher& fallback);
    ~FreedesktopFileManager() override;

    void showItem(const std::string& path, std::function<void(const ShellResult&)> done) override;

    // How long a file manager may take to answer, activation included.
    static constexpr int kAnswerTimeoutMs = 10000;

private:
    ShellResult openFolder(const std::string& path, const std::string& why);

    Launcher& m_fallback;
    std::unique_ptr<QObject> m_pending; // parent of the calls waiting for an answer
};

} // namespace vellick
