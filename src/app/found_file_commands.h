#pragma once

#include "app/file_command_state.h"
#include "app/message_boxes.h"
#include "fileops/member_copies.h"

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace vellick {

class CVellickDoc;
class FileCopier;
class FileRenamer;
class KeywordList;
class Launcher;
class ModalRunner;
class PrintService;
class TrashService;

// The shell services the commands use; the window passes the Linux ones, tests their own.
struct FileServices {
    TrashService& trash;
    FileRenamer& renamer;
    FileCopier& copier;
    Launcher& launcher;
    PrintService& printer;
};

// What the commands ask of the main window.
class FileCommandHost {
public:
    virtual ~FileCommandHost() = default;
    virtual void setStatusText(const QString& text) = 0;
    // An information message captioned "Vellick" (the surrounding-text loader's messages).
    virtual void showMessage(const QString& text) = 0;
    virtual bool searchRunning() const = 0;
    // The keyword list and flags of the last search, which reports write.
    virtual const KeywordList& lastKeywords() const = 0;
};

// The commands on found files: Delete, the end of Rename, Copy To, Open and Open With, Save Search Result,
// Print and Print Preview. They act on the document's current record and check marks, ask through
// dialogs run by the modal runner, and call the shell services. One object lives with the main window and
// keeps the report settings and the last destination folder for the program's run.
class FoundFileCommands {
public:
    FoundFileCommands(
        QWidget* owner, CVellickDoc& doc, FileCommandHost& host, FileServices services, ModalRunner& runner);

    void deleteFiles();
    // The end of an in-place edit of a row's file name with the text the user typed.
    void finishRename(int row, const QString& typed);
    void copyTo();
    // Open and Open With: nothing while a search runs.
    void open(bool askForProgram);
    // The launcher itself, also during a search (a double click on the row that was already current).
    void launch(bool askForProgram);
    void saveReport();
    void printReport(bool preview);

    FileCommandState& state() { return m_state; }
    const FileServices& services() const { return m_services; }

private:
    void copyOneFile();
    void copyToFolder();
    std::optional<std::string> fileOf(const CLine& line, bool readOnly);
    void showFailure(const QString& caption, const ShellResult& result);
    bool writeReport(const std::string& path, ReportFormat format);

    QWidget* m_owner;
    CVellickDoc& m_doc;
    FileCommandHost& m_host;
    FileServices m_services;
    ModalRunner& m_runner;
    MessageBoxes m_boxes;
    FileCommandState m_state;
    MemberCopies m_memberCopies; // extracted members of archives, removed with the window
};

} // namespace vellick
