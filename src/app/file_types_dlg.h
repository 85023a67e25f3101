#pragma once

#include "search/file_type_selection.h"

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;

namespace vellick {

// "Files & File Types": the files and file types of the search panel's folder, from which the user
// collects single files and type patterns. OK gives them as one comma-separated text for the file-pattern
// box (nothing when none were chosen). The selection rules live in FileTypeSelection.
class CFileTypesDlg : public QDialog {
    Q_OBJECT
public:
    // `folderText` is shown at the top; `folder` is read (the frame has made it the current directory).
    CFileTypesDlg(const QString& folderText, const std::string& folder, QWidget* parent = nullptr);

    // After OK: the chosen entries, each followed by a comma; nothing when the list was empty.
    std::optional<QString> chosenPatterns() const { return m_result; }

    void accept() override;

private:
    void refillFiles();
    void selectFile();
    void selectFileType();
    void removeEntry();
    void showSelection(std::optional<int> selected);

    std::string m_folder;
    std::string m_typeFilter = ".*";
    FileTypeSelection m_selection;
    QListWidget* m_files;
    QListWidget* m_chosen;
    QListWidget* m_types;
    QPushButton* m_selectFile;
    QPushButton* m_remove;
    std::optional<QString> m_result;
};

} // namespace vellick
