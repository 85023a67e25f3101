#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

namespace vellick {

class CLine;
class EditorLauncher;
class FileCommandHost;
class FileManager;
class ResultListModel;

// The desktop's shell services the commands below use; the window passes the Linux ones, tests their own.
struct DesktopServices {
    FileManager& fileManager;
    EditorLauncher& editor;
};

// What users do next with a found file: show it in the file manager, copy its path or name, take it
// off the list, open it in the editor at a hit's line. The copies and Remove from List act on the taken
// rows (checked, and the current record's); the others on one record. Outcomes go to the status bar.
// One object lives with the main window.
class DesktopCommands {
public:
    DesktopCommands(ResultListModel& model, FileCommandHost& host, DesktopServices services);

    void openContainingFolder();
    enum class CopyWhat { Paths, Names };
    void copyToClipboard(CopyWhat what);
    // True when rows went (the lists then show the new current record).
    bool removeFromList();
    // Opens a record's file at the line of one of its hits with the command (empty: the detected one).
    void openAtLine(int recordIndex, std::size_t hit, const std::string& command);

    const DesktopServices& services() const { return m_services; }

private:
    ResultListModel& m_model;
    FileCommandHost& m_host;
    DesktopServices m_services;
    // Answers that arrive after the commands (and the window) went are dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The line of a hit for the editor: the hit's line in a text file, 1 in a binary file or without hits.
std::int64_t editorLineOfHit(const CLine& line, std::size_t hit);

} // namespace vellick
