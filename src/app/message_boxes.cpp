#include "app/message_boxes.h"

#include "app/modal_runner.h"
#include "views/text_conversion.h"

namespace vellick {

MessageBoxes::MessageBoxes(QWidget* owner, ModalRunner& runner)
    : m_owner(owner)
    , m_runner(runner)
{
}

int MessageBoxes::run(QMessageBox::Icon icon, const QString& caption, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, m_owner);
    box.setDefaultButton(defaultButton);
    return m_runner.run(box);
}

bool MessageBoxes::askYesNo(const QString& caption, const QString& text)
{
    return run(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

void MessageBoxes::show(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    run(icon, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

ReplaceAnswer MessageBoxes::askReplace(const std::string& target)
{
    const QString text
        = QStringLiteral("The file \"%1\" already exists.\n\nDo you want to replace it?").arg(fromPath(target));
    switch (run(QMessageBox::Warning, QStringLiteral("Confirm File Replace"), text,
        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No)) {
    case QMessageBox::Yes:
        return ReplaceAnswer::Yes;
    case QMessageBox::YesToAll:
        return ReplaceAnswer::YesToAll;
    case QMessageBox::No:
        return ReplaceAnswer::No;
    default:
        return ReplaceAnswer::Cancel;
    }
}

} // namespace vellick
