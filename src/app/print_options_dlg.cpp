#include "app/print_options_dlg.h"

#include "app/include_information_box.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vellick {

CPrintOptionsDlg::CPrintOptionsDlg(QWidget* parent)
    : QDialog(parent)
    , m_include(new IncludeInformationBox(this))
{
    setWindowTitle(QStringLiteral("Print search result"));
    auto* note = new QLabel(QStringLiteral("The report will contain all the checked files and the currently "
                                           "highlighted file in the search result list."));
    note->setWordWrap(true);
    note->setMinimumWidth(160);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_include, 0, 0);
    layout->addWidget(note, 0, 1, Qt::AlignTop);
    layout->addWidget(buttons, 1, 0, 1, 2);
}

void CPrintOptionsDlg::setOptions(const ReportOptions& options)
{
    m_include->setOptions(options);
}

ReportOptions CPrintOptionsDlg::options() const
{
    return m_include->options();
}

} // namespace vellick
