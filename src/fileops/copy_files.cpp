#include "fileops/copy_files.h"

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
    const std::size_t dot = line.path.rfind('.');
    if (dot == std::string::npos) {
        setup.filters.emplace_back(line.typeName + "    *.*", "*.*");
        return setup;
    }
    const std::string extension = line.path.substr(dot);
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

FolderCopyOutcome copyTakenToFolder(
    const CVellickDoc& doc, const std::string& folder, FileCopier& copier, ReplaceDecision& replace)
{
    FolderCopyOutcome outcome;
    const auto batchSize = static_cast<std::size_t>(std::min(doc.rowCount(), kCopyBatchSize));
    const std::vector<int> rows = takenRows(doc);
    std::vector<std::string> batch;
    for (std::size_t i = 0; i < rows.size(); i += batchSize) {
        batch.clear();
        for (std::size_t j = i; j < rows.size() && j < i + batchSize; ++j)
            batch.push_back(doc.record(doc.recordAtRow(rows[j])).path);
        outcome.stoppedBy = copier.copyToFolder(batch, folder, replace);
        if (!outcome.stoppedBy.ok())
            break;
        ++outcome.batchesCopied;
    }
    return outcome;
}

} // namespace vellick
