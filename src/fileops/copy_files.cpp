#include "fileops/copy_files.h"

#include "fileops/member_copies.h"
#include "fileops/taken_rows.h"
#include "results/vellick_doc.h"

#include <algorithm>
#include <sys/stat.h>

namespace vellick {

CopyDialogSetup copyDialogSetup(const CLine& line)
{
    CopyDialogSetup setup;
    setup.defaultName = std::string(line.fileName());
    setup.title = "Copy " + setup.defaultName + " to";
    // A member's extension is its own name's, not its archive's.
    const std::string& named = line.isMember() ? setup.defaultName : line.path;
    const std::size_t dot = named.rfind('.');
    if (dot == std::string::npos) {
        setup.filters.emplace_back(line.typeName + "    *.*", "*.*");
        return setup;
    }
    const std::string extension = named.substr(dot);
    setup.filters.emplace_back(line.typeName + "    *" + extension, "*" + extension);
    setup.filters.emplace_back("All Files    *.*", "*.*");
    return setup;
}

bool sameFile(const std::string& first, const std::string& second)
{
    if (first == second)
        return true;
    struct stat a {
    }, b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

ShellResult copyOneFile(
    const std::string& source, const std::string& target, FileCopier& copier, ReplaceDecision& replace)
{
    if (sameFile(source, target))
        return ShellResult::failed(kCopiedToItself);
    return copier.copyFile(source, target, replace);
}

FolderCopyOutcome copyTakenToFolder(const CVellickDoc& doc, const std::string& folder, FileCopier& copier,
    ReplaceDecision& replace, MemberCopies* members)
{
    FolderCopyOutcome outcome;
    const auto batchSize = static_cast<std::size_t>(std::min(doc.rowCount(), kCopyBatchSize));
    const std::vector<int> rows = takenRows(doc);
    std::vector<std::string> batch;
    for (std::size_t i = 0; i < rows.size(); i += batchSize) {
        batch.clear();
        for (std::size_t j = i; j < rows.size() && j < i + batchSize; ++j) {
            const CLine& line = doc.record(doc.recordAtRow(rows[j]));
            if (!line.isMember()) {
                batch.push_back(line.path);
                continue;
            }
            // A member is copied from its extracted copy, which has the member's name.
            MemberCopies::Copy copy = members ? members->extract(line, false) : MemberCopies::Copy {};
            if (copy.path.empty()) {
                outcome.stoppedBy = ShellResult::failed(
                    copy.error.empty() ? "Can not extract \"" + line.shownPath() + "\"." : copy.error);
                return outcome;
            }
            batch.push_back(std::move(copy.path));
        }
        outcome.stoppedBy = copier.copyToFolder(batch, folder, replace);
        if (!outcome.stoppedBy.ok())
            break;
        ++outcome.batchesCopied;
    }
    return outcome;
}

} // namespace vellick
