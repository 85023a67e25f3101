#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// What, besides the folder, the file patterns and the keywords, decides which files a search reads and
// lists. Every default leaves a search exactly as it is without a scope. The walk applies it before a
// file is opened wherever it can.
struct SearchScope {
    std::vector<std::string> excludedFolders; // names or wildcards; one holding "/" matches the path below the start
    std::optional<int64_t> minSize; // bytes
    std::optional<int64_t> maxSize;
    std::optional<int64_t> modifiedAfter; // seconds since 1970-01-01 UTC: on or after
    std::optional<int64_t> modifiedBefore; // strictly before
    bool binaryFiles = true; // false: files classed as binary are skipped
    bool gitignore = false; // skip what git ignores
    bool filesWithoutHits = false; // list the files that do not match instead
    bool documents = false; // also search the text of documents and the members of archives

    bool operator==(const SearchScope&) const = default;
    bool isDefault() const { return *this == SearchScope {}; }
};

// Whether the walk stays out of a folder: `name` is its own name, `pathBelowStart` its path from the
// starting folder ("a/b/name").
bool folderExcluded(const SearchScope& scope, std::string_view name, std::string_view pathBelowStart);

// Whether a file's size and modification time are inside the scope's bounds.
bool statusInScope(const SearchScope& scope, int64_t size, int64_t modified);

// A byte count: decimal digits with an optional K, M or G (powers of 1024, either case, "B" allowed after
// it: "64K", "2MB"); nothing when the text is not one or overflows.
std::optional<int64_t> parseByteSize(std::string_view text);

// A moment from a date text: "YYYY-MM-DD" is that day's start in local time, "Nd" is N days before `now`.
std::optional<int64_t> parseDateBound(std::string_view text, std::time_t now);

// A list of names or patterns separated by ";" or ",", each trimmed; empty pieces dropped.
std::vector<std::string> splitNameList(std::string_view text);

// The folder text split into folders at ";", unless the whole text names a folder (a folder's name may
// hold ";"). Pieces are trimmed; empty pieces dropped.
std::vector<std::string> splitFolderText(
    std::string_view text, const std::function<bool(const std::string&)>& isFolder);

// The file-pattern text as patterns that include and patterns ("!" first) that exclude a name. With no
// including pattern, every name not excluded is included; with no pattern at all, none is.
class FilePatternSet {
public:
    explicit FilePatternSet(std::string_view text);

    bool matches(std::string_view name) const;
    const std::vector<std::string>& included() const { return m_included; }
    const std::vector<std::string>& excluded() const { return m_excluded; }

private:
    std::vector<std::string> m_included;
    std::vector<std::string> m_excluded;
};

} // namespace vellick
