#include "app/open_with_dlg.h"

#include "app/modal_runner.h"
#include "app/program_file_filter.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace vellick {

COpenWithDlg::COpenWithDlg(ModalRunner& runner, QWidget* parent)
    : QDialog(parent)
    , m_runner(runner)
    , m_edit(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("Open With ..."));
    auto* icon = new QLabel(this);
    const QIcon programIcon = QApplication::windowIcon();
    icon->setPixmap(
        (programIcon.isNull() ? style()->standardIcon(QStyle::SP_DesktopIcon) : programIcon).pixmap(32, 32));
    auto* label = new QLabel(QStringLiteral("Name of the program:"), this);
    label->setBuddy(m_edit);
    m_edit->setObjectName(QStringLiteral("programName"));
    m_edit->setMinimumWidth(240);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("browseButton"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(label, 0, 1);
    layout->addWidget(m_edit, 1, 1);
    layout->addWidget(m_ok, 0, 2);
    layout->addWidget(cancel, 1, 2);
    layout->addWidget(browse, 2, 2);

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_ok->setEnabled(!text.isEmpty()); });
    connect(m_ok, &QPushButton::clicked, this, &COpenWithDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &COpenWithDlg::browse);
}

void COpenWithDlg::accept()
{
    if (m_edit->text().isEmpty())
        return; // Enter in an empty box: OK is disabled
    m_programName = m_edit->text();
    QDialog::accept();
}

void COpenWithDlg::browse()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Programs are told by their permission, not their name, which needs the dialog's own model. Both
    // filters match every name ("All Files" too must match names without a dot, as most programs have).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QString programs = QStringLiteral("Programs (*)");
    dialog.setNameFilters({ programs, QStringLiteral("All Files (*.*) (*)") });
    auto* filter = new ProgramFileFilter(&dialog);
    dialog.setProxyModel(filter);
    connect(&dialog, &QFileDialog::filterSelected, filter,
        [filter, programs](const QString& chosen) { filter->setProgramsOnly(chosen == programs); });
    if (m_runner.run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_edit->setText(dialog.selectedFiles().constFirst());
}

} // namespace vellick
