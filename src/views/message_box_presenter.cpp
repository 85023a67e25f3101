#include "views/message_box_presenter.h"

#include <QMessageBox>

namespace vellick {

void MessageBoxPresenter::showInformation(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QStringLiteral("Vellick"), text);
}

} // namespace vellick
