#pragma once

#include <QDialog>

namespace vellick {

// Runs a modal dialog (an own dialog, a message box, a file dialog) and returns its result. The window
// runs them with exec(); tests put a runner in its place that fills in the dialog's widgets and returns
// at once, so that no test waits for a click.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual int run(QDialog& dialog) = 0;
};

class ExecModalRunner : public ModalRunner {
public:
    int run(QDialog& dialog) override { return dialog.exec(); }
};

} // namespace vellick
