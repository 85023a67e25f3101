#include "search/folder_file_types.h"

#include "base/directory_listing.h"
#include "base/unique_fd.h"
#include "base/byte_compare.h"
#include "search/file_type_selection.h"

#include <algorithm>
#include <fcntl.h>

namespace vellick {
namespace {

void addUnique(std::vector<std::string>& list, const std::string& entry)
{
    const bool present = std::any_of(list.begin(), list.end(),
        [&](const std::string& existing) { return compareBytes(existing, entry, true) == 0; });
    if (!present)
        list.push_back(entry);
}

std::string lowerCased(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        c = static_cast<char>(toLowerAscii(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace

FolderFileTypes listFolderFileTypes(const std::string& folder, const std::string& typeFilter)
{
    FolderFileTypes lists;
    const std::string filterPattern = "*" + lowerCased(typeFilter);
    if (filterPattern != "*.*")
        lists.types.push_back("*.*");
    lists.types.push_back(filterPattern);

    DirectoryListing listing;
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid() && listing.read(fd.get())) {
        for (std::size_t i = 0; i < listing.size(); ++i) {
            const std::string_view name = listing.name(i);
            if (listing.kind(i) != EntryKind::File || name.front() == '.' || name.find('.') == std::string_view::npos)
                continue;
            const std::string lower = lowerCased(name);
            const std::string extension = extensionOf(lower);
            if (typeFilter == ".*" || extension == lowerCased(typeFilter))
                addUnique(lists.files, lower);
            addUnique(lists.types, "*" + extension);
        }
    }
    std::sort(lists.files.begin(), lists.files.end());
    std::sort(lists.types.begin(), lists.types.end());
    return lists;
}

} // namespace vellick
