#include "app/about_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vellick {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Vellick"));
    setAccessibleName(QStringLiteral("About Vellick"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    icon->setAccessibleName(tr("Program icon"));
    auto* version = new QLabel(QStringLiteral("Vellick      Version 4.02"), this);
    auto* compliance = new QLabel(QStringLiteral("(Year 2000 Compliance)"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setAccessibleName(QStringLiteral("OK"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(compliance, 1, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    setFixedSize(sizeHint());
}

} // namespace vellick
