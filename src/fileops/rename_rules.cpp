#include "fileops/rename_rules.h"

#include "base/byte_compare.h"
#include "platform/file_renamer.h"
#include "results/vellick_doc.h"

namespace vellick {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

} // namespace

std::string forbiddenCharactersMessage()
{
    std::string third = "        ";
    for (std::size_t i = 0; i < kForbidden.size(); ++i) {
        if (i > 0)
            third += "  ";
        third += kForbidden[i];
    }
    return "A filename cannot contain any of the following characters:\n\n" + third;
}

bool hasForbiddenCharacter(std::string_view name)
{
    return name.find_first_of(kForbidden) != std::string_view::npos || name.find('\0') != std::string_view::npos;
}

std::optional<std::string> renamedPath(std::string_view path, std::string_view typed)
{
    const std::size_t slash = path.rfind('/');
    if (typed.empty() || slash == std::string_view::npos)
        return std::nullopt;
    if (compareBytes(path.substr(slash + 1), typed, true) == 0)
        return std::nullopt;
    return std::string(path.substr(0, slash + 1)) + std::string(typed);
}

RenameOutcome renameRow(CVellickDoc& doc, int row, const std::string& typed, FileRenamer& renamer)
{
    if (typed.empty() || row < 0 || row >= doc.rowCount())
        return {};
    if (hasForbiddenCharacter(typed))
        return { RenameStep::Forbidden, {} };
    CLine& line = doc.record(doc.recordAtRow(row));
    if (line.isMember())
        return {}; // its path is the archive's, which is not what the row shows
    const auto target = renamedPath(line.path, typed);
    if (!target)
        return {};
    const ShellResult result = renamer.rename(line.path, *target);
    if (!result.ok())
        return { RenameStep::Failed, result };
    line.path = *target;
    return { RenameStep::Renamed, result };
}

} // namespace vellick
