#pragma once

#include "results/cline.h"

#include <optional>
#include <string>

namespace vellick {

// The folder where members of archives are extracted for Open and Copy To: made on first use, mode 0700,
// under $XDG_RUNTIME_DIR (else $TMPDIR, else /tmp), and removed with everything in it when the owner goes
// (the window and vellick-cli own one for their whole run). Nothing extracted is written anywhere else:
// each copy goes into a new sub-folder of a generated name, under the member's last name part, which is
// checked to be a plain name; the member's path inside the archive is never used as a path.
class MemberCopies {
public:
    MemberCopies() = default;
    explicit MemberCopies(std::string parent) // where the folder is made; tests give their own
        : m_parent(std::move(parent))
    {
    }
    ~MemberCopies();
    MemberCopies(const MemberCopies&) = delete;
    MemberCopies& operator=(const MemberCopies&) = delete;

    // Extracts the member (or a document's text is not extracted: only a member has a copy) of `line`
    // into the folder; the copy's path, or the message to show. A read-only copy is for Open: no program
    // can then take it for the original and save into it.
    struct Copy {
        std::string path;
        std::string error;
    };
    Copy extract(const CLine& line, bool readOnly);

    // The folder, once made; empty before.
    const std::string& folder() const { return m_folder; }

private:
    bool makeFolder();

    std::string m_parent;
    std::string m_folder;
    int m_folderFd = -1;
    unsigned m_copies = 0;
};

// The member's last name part when it is a plain name to write a file under, else "member".
std::string memberCopyName(std::string_view member);

} // namespace vellick
