#pragma once

#include "platform/file_copier.h"

#include <QMessageBox>

namespace vellick {

class ModalRunner;

// The message boxes of the commands on found files, run through the window's modal runner (tests answer
// them). Also the question asked before a copy replaces a file.
class MessageBoxes : public ReplaceQuestion {
public:
    MessageBoxes(QWidget* owner, ModalRunner& runner);

    // Yes and No buttons with the question icon; true for Yes.
    bool askYesNo(const QString& caption, const QString& text);
    void show(QMessageBox::Icon icon, const QString& caption, const QString& text);

    // "Confirm File Replace" with Yes, Yes to All, No and Cancel.
    ReplaceAnswer askReplace(const std::string& target) override;

private:
    int run(QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton);

    QWidget* m_owner;
    ModalRunner& m_runner;
};

} // namespace vellick
