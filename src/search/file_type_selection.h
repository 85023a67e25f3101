#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellick {

// The "Selected Files & File Types" list of the Files & File Types dialog, kept sorted. It never holds an
// entry twice, never "*.*" beside another entry, and never a file together with the pattern of its type.
// The dialog shows it in a list box and mirrors the selection it returns.
class FileTypeSelection {
public:
    // Adds a file name (lower case, with an extension); an entry already there is only selected. Removes
    // "*.*" and the pattern of the file's type. The index of the entry to select; nothing for an empty name.
    std::optional<int> addFile(const std::string& name);
    // Adds a type pattern ("*" and an extension, or "*.*"); removes the files of that type and "*.*", or
    // everything when it is "*.*". The index of the entry to select.
    int addType(const std::string& pattern);
    // Removes the entry at `index`; the index to select next (the same place, or the new last entry), or
    // nothing when the list is now empty or the index was not valid.
    std::optional<int> remove(int index);

    const std::vector<std::string>& entries() const { return m_entries; }

    // OK's text: every entry in list order followed by a comma ("*.doc,notes.txt,"); empty for an empty list.
    std::string resultText() const;

private:
    int insertSorted(const std::string& entry);

    std::vector<std::string> m_entries;
};

// The part of a name from its last "." on, or empty without a ".".
std::string extensionOf(const std::string& name);

} // namespace vellick
