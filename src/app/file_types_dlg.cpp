#include "app/file_types_dlg.h"

#include "search/folder_file_types.h"
#include "search/utf8_sequence.h"
#include "views/text_conversion.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellick {
namespace {

QListWidget* listIn(QGroupBox* group, const char* name)
{
    auto* list = new QListWidget(group);
    list->setObjectName(QString::fromLatin1(name));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    (new QVBoxLayout(group))->addWidget(list);
    return list;
}

// Names are shown decoded; each item keeps the name's bytes.
void addName(QListWidget& list, const std::string& name)
{
    auto* item = new QListWidgetItem(fromPath(name), &list);
    item->setData(Qt::UserRole, QByteArray::fromStdString(name));
}

std::string nameOf(const QListWidgetItem& item)
{
    return item.data(Qt::UserRole).toByteArray().toStdString();
}

QPushButton* button(const char* text, const char* name)
{
    auto* push = new QPushButton(QString::fromLatin1(text));
    push->setObjectName(QString::fromLatin1(name));
    push->setAutoDefault(false);
    return push;
}

} // namespace

CFileTypesDlg::CFileTypesDlg(const QString& folderText, const std::string& folder, QWidget* parent)
    : QDialog(parent)
    , m_folder(folder)
{
    setWindowTitle(QStringLiteral("Files & File Types"));
    auto* folderEdit = new QLineEdit(folderText);
    folderEdit->setObjectName(QStringLiteral("folderEdit"));
    folderEdit->setReadOnly(true);
    auto* filesGroup = new QGroupBox(QStringLiteral("Files In Current Folder:"));
    auto* chosenGroup = new QGroupBox(QStringLiteral("Selected Files && File Types:"));
    auto* typesGroup = new QGroupBox(QStringLiteral("File Types  In Current Folder:"));
    m_files = listIn(filesGroup, "fileList");
    m_chosen = listIn(chosenGroup, "selectedList");
    m_types = listIn(typesGroup, "typeList");
    m_selectFile = button("Select File", "selectFileButton");
    m_selectFile->setEnabled(false);
    auto* selectType = button("Select File Type", "selectTypeButton");
    m_remove = button("Remove", "removeButton");
    m_remove->setEnabled(false);
    auto* ok = button("OK", "okButton");
    ok->setDefault(true);
    auto* cancel = button("Cancel", "cancelButton");

    auto* buttons = new QGroupBox;
    auto* buttonLayout = new QVBoxLayout(buttons);
    for (QPushButton* push : { m_selectFile, selectType, m_remove })
        buttonLayout->addWidget(push);
    buttonLayout->addStretch();
    buttonLayout->addWidget(ok);
    buttonLayout->addWidget(cancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(folderEdit, 0, 0, 1, 2);
    layout->addWidget(filesGroup, 1, 0);
    layout->addWidget(chosenGroup, 1, 1);
    layout->addWidget(typesGroup, 2, 0);
    layout->addWidget(buttons, 2, 1);

    const FolderFileTypes lists = listFolderFileTypes(m_folder, m_typeFilter);
    for (const std::string& type : lists.types)
        addName(*m_types, type);
    const auto start = m_types->findItems(QStringLiteral("*.*"), Qt::MatchExactly);
    m_types->setCurrentItem(start.isEmpty() ? nullptr : start.constFirst());
    refillFiles();

    connect(m_types, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            m_typeFilter = nameOf(*m_types->item(row)).substr(1);
        refillFiles();
    });
    connect(m_types, &QListWidget::itemDoubleClicked, this, &CFileTypesDlg::selectFileType);
    connect(m_files, &QListWidget::currentRowChanged, this, [this] { m_selectFile->setEnabled(true); });
    connect(m_files, &QListWidget::itemDoubleClicked, this, &CFileTypesDlg::selectFile);
    connect(m_chosen, &QListWidget::itemDoubleClicked, this, &CFileTypesDlg::removeEntry);
    connect(m_selectFile, &QPushButton::clicked, this, &CFileTypesDlg::selectFile);
    connect(selectType, &QPushButton::clicked, this, &CFileTypesDlg::selectFileType);
    connect(m_remove, &QPushButton::clicked, this, &CFileTypesDlg::removeEntry);
    connect(ok, &QPushButton::clicked, this, &CFileTypesDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFileTypesDlg::refillFiles()
{
    const QSignalBlocker quiet(m_files);
    m_files->clear();
    for (const std::string& name : listFolderFileTypes(m_folder, m_typeFilter).files)
        addName(*m_files, name);
}

void CFileTypesDlg::selectFile()
{
    const QListWidgetItem* item = m_files->currentItem();
    if (!item)
        return;
    // A name that is not UTF-8 would go into the patterns box as other characters, and match nothing.
    const auto selected = m_selection.addFile(undecodableAsWildcards(nameOf(*item)));
    if (!selected)
        return;
    showSelection(selected);
    m_selectFile->setEnabled(false);
}

void CFileTypesDlg::selectFileType()
{
    showSelection(m_selection.addType(undecodableAsWildcards("*" + m_typeFilter)));
}

void CFileTypesDlg::removeEntry()
{
    const int row = m_chosen->currentRow();
    if (row < 0)
        return;
    showSelection(m_selection.remove(row));
}

void CFileTypesDlg::showSelection(std::optional<int> selected)
{
    m_chosen->clear();
    for (const std::string& entry : m_selection.entries())
        m_chosen->addItem(fromPath(entry));
    m_chosen->setCurrentRow(selected.value_or(-1));
    m_remove->setEnabled(selected.has_value());
}

void CFileTypesDlg::accept()
{
    const std::string text = m_selection.resultText();
    m_result = text.empty() ? std::nullopt : std::optional<QString>(fromPath(text));
    QDialog::accept();
}

} // namespace vellick
