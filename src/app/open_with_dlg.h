#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vellick {

class ModalRunner;

// "Open With ...": asks for the program to open a found file with. OK stays disabled while the name is
// empty; Browse picks a program file. The browser runs through the runner, so tests can answer it.
class COpenWithDlg : public QDialog {
    Q_OBJECT
public:
    explicit COpenWithDlg(ModalRunner& runner, QWidget* parent = nullptr);

    QString programName() const { return m_programName; }

    void accept() override;

private:
    void browse();

    ModalRunner& m_runner;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QString m_programName;
};

} // namespace vellick
