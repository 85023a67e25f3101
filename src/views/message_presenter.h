#pragma once

#include <QString>

class QWidget;

namespace vellick {

// Shows the program's information messages, captioned "Vellick". The window uses message boxes
// (MessageBoxPresenter); tests put a recorder in its place so that no modal box waits for a click.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void showInformation(QWidget* parent, const QString& text) = 0;
};

} // namespace vellick
