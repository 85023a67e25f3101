#pragma once

#include <QDialog>

namespace vellick {

// The About box: the program's icon, name and version. OK or Escape closes it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace vellick
