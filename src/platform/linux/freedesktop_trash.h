#pragma once

#include "platform/trash_service.h"

#include <optional>
#include <string>

namespace vellick {

// The desktop Trash as freedesktop.org lays it down for desktops: a file on the file system of the home
// Trash ($XDG_DATA_HOME/Trash) goes there; a file on another mount goes to $topdir/.Trash/$uid (when
// $topdir/.Trash is a sticky folder that is no symbolic link) or else to $topdir/.Trash-$uid. The file is
// only ever renamed into files/, never copied across file systems; its info/NAME.trashinfo is written
// first, so a file in the Trash always has one, and taken away again when the rename fails.
class FreedesktopTrash : public TrashService {
public:
    // Takes the home Trash's place from XDG_DATA_HOME (or ~/.local/share) at construction.
    FreedesktopTrash();
    explicit FreedesktopTrash(std::string dataHome);

    ShellResult moveToTrash(const std::string& path) override;

private:
    struct Target {
        std::string trashDir;
        std::string infoPath; // the Path= value: absolute, or relative to the mount's top folder
    };

    std::optional<Target> chooseTrash(const std::string& folder, const std::string& name, std::string& why) const;
    std::optional<std::string> topdirTrash(const std::string& topdir, std::string& why) const;

    std::string m_dataHome;
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; empty without either.
std::string dataHomeFolder();

} // namespace vellick
