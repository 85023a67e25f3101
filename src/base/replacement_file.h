#pragma once

#include "base/unique_fd.h"

#include <string>

namespace vellick {

// The new content of a file, written to a hidden temporary file beside it and renamed over it only once
// everything is written and flushed, so the file always holds either its old or its new content in full
// (or, for a new file, nothing). The writer holds a lock on its temporary file until the rename; one left
// behind by a killed writer is unlocked and removed by the next writer of the same file. The settings file
// and reports use it; the owner writes through fd(). A temporary not committed is removed, also when the
// object goes away.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() { discard(); }

    // Starts replacing the file at `path`, or creating it when missing. A symbolic link is followed, so the
    // link stays and its target is replaced; the new file takes the old one's permission bits (and owner,
    // where allowed). False when the file may not be replaced (not a regular file, read-only even for
    // root, not the user's to write, or in a sticky folder where the rename would be refused) or no
    // temporary file can be made in its folder. The temporary name is shortened where the folder takes
    // no name that long.
    bool open(const std::string& path);
    bool active() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }
    // Flushes and closes the temporary file and renames it over the target; false (the target left as it
    // was) when any step fails.
    bool commit();
    // Gives the new content up: the temporary file is removed.
    void discard();

private:
    bool createTemporary();
    // Temporary files of the target left by writers that were killed mid-save.
    void removeAbandonedTemporaries() const;

    UniqueFd m_fd;
    std::string m_target;
    std::string m_temporary;
};

} // namespace vellick
