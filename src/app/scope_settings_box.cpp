#include "app/scope_settings_box.h"

#include "views/text_conversion.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace vellick {

namespace {

constexpr int kMaxBoundLength = 64;

// A label whose mnemonic moves to `buddy`, and which names it for screen readers.
QLabel* labelFor(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

} // namespace

ScopeSettingsBox::ScopeSettingsBox(QWidget* parent)
    : QGroupBox(tr("Search scope"), parent)
    , m_excludedFolders(addLine("excludedFolders", tr("for example build;node_modules;*.egg-info"),
          tr("Folders that are never entered: names or wildcards separated by \";\". A pattern with \"/\" is "
             "matched against the folder's path below the starting folder.")))
    , m_minSize(addLine("minSize", tr("for example 64K"),
          tr("Only files of at least this size. K, M and G count 1024 bytes, "
             "1024 K and 1024 M.")))
    , m_maxSize(addLine("maxSize", tr("for example 1M"),
          tr("Only files of at most this size. K, M and G count 1024 bytes, "
             "1024 K and 1024 M.")))
    , m_modifiedAfter(addLine("modifiedAfter", tr("YYYY-MM-DD or 7d"),
          tr("Only files modified on or after this day (local time), or in the last N days (7d).")))
    , m_modifiedBefore(addLine("modifiedBefore", tr("YYYY-MM-DD or 30d"),
          tr("Only files modified before this day (local time), or more than N days ago (30d).")))
    , m_binaryFiles(addCheck("binaryFiles", tr("Search b&inary files"),
          tr("When off, files that look binary (program files, images, archives) are skipped after their first "
             "block.")))
    , m_gitignore(addCheck("gitignore", tr("Skip files that &git ignores"),
          tr("Honour .gitignore files in the tree, .git/info/exclude and git's global excludes file.")))
    , m_filesWithoutHits(addCheck("filesWithoutHits", tr("List files wit&hout hits"),
          tr("List the files that do not contain the keywords, instead of those that do.")))
    , m_documents(addCheck("documents", tr("Search inside &documents and archives"),
          tr("Also search the text of PDF and office documents and the files inside zip and tar archives.")))
{
    setObjectName(QStringLiteral("searchScope"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(labelFor(tr("E&xcluded folders:"), m_excludedFolders), 0, 0);
    grid->addWidget(m_excludedFolders, 0, 1, 1, 3);
    grid->addWidget(labelFor(tr("Size at &least:"), m_minSize), 1, 0);
    grid->addWidget(m_minSize, 1, 1);
    grid->addWidget(labelFor(tr("Size at &most:"), m_maxSize), 1, 2);
    grid->addWidget(m_maxSize, 1, 3);
    grid->addWidget(labelFor(tr("Modified &after:"), m_modifiedAfter), 2, 0);
    grid->addWidget(m_modifiedAfter, 2, 1);
    grid->addWidget(labelFor(tr("Modified &before:"), m_modifiedBefore), 2, 2);
    grid->addWidget(m_modifiedBefore, 2, 3);
    grid->addWidget(m_binaryFiles, 3, 0, 1, 2);
    grid->addWidget(m_gitignore, 3, 2, 1, 2);
    grid->addWidget(m_filesWithoutHits, 4, 0, 1, 2);
    grid->addWidget(m_documents, 4, 2, 1, 2);
    grid->setColumnStretch(1, 1); // the two columns of fields equally wide
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(3, 1);
    for (QLineEdit* bound : { m_minSize, m_maxSize, m_modifiedAfter, m_modifiedBefore })
        bound->setMaxLength(kMaxBoundLength);
    m_excludedFolders->setMaxLength(static_cast<int>(kMaxExcludedFoldersText));
    const QList<QWidget*> order = controls();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QLineEdit* ScopeSettingsBox::addLine(const char* objectName, const QString& placeholder, const QString& toolTip)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setPlaceholderText(placeholder);
    edit->setToolTip(toolTip);
    return edit;
}

QCheckBox* ScopeSettingsBox::addCheck(const char* objectName, const QString& text, const QString& toolTip)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QLatin1String(objectName));
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    box->setToolTip(toolTip);
    return box;
}

QList<QWidget*> ScopeSettingsBox::controls() const
{
    return { m_excludedFolders, m_minSize, m_maxSize, m_modifiedAfter, m_modifiedBefore, m_binaryFiles, m_gitignore,
        m_filesWithoutHits, m_documents };
}

void ScopeSettingsBox::setSettings(const ScopeSettings& settings)
{
    m_excludedFolders->setText(fromPath(settings.excludedFolders));
    m_minSize->setText(fromText(settings.minSize));
    m_maxSize->setText(fromText(settings.maxSize));
    m_modifiedAfter->setText(fromText(settings.modifiedAfter));
    m_modifiedBefore->setText(fromText(settings.modifiedBefore));
    m_binaryFiles->setChecked(settings.binaryFiles);
    m_gitignore->setChecked(settings.gitignore);
    m_filesWithoutHits->setChecked(settings.filesWithoutHits);
    m_documents->setChecked(settings.documents);
}

ScopeSettings ScopeSettingsBox::settings() const
{
    ScopeSettings settings;
    settings.excludedFolders = toPath(m_excludedFolders->text().trimmed());
    settings.minSize = toText(m_minSize->text().trimmed());
    settings.maxSize = toText(m_maxSize->text().trimmed());
    settings.modifiedAfter = toText(m_modifiedAfter->text().trimmed());
    settings.modifiedBefore = toText(m_modifiedBefore->text().trimmed());
    settings.binaryFiles = m_binaryFiles->isChecked();
    settings.gitignore = m_gitignore->isChecked();
    settings.filesWithoutHits = m_filesWithoutHits->isChecked();
    settings.documents = m_documents->isChecked();
    return settings;
}

QLineEdit* ScopeSettingsBox::fieldEdit(ScopeField field) const
{
    switch (field) {
    case ScopeField::MinSize:
        return m_minSize;
    case ScopeField::MaxSize:
        return m_maxSize;
    case ScopeField::ModifiedAfter:
        return m_modifiedAfter;
    case ScopeField::ModifiedBefore:
        return m_modifiedBefore;
    case ScopeField::None:
        break;
    }
    return nullptr;
}

void ScopeSettingsBox::focusField(ScopeField field)
{
    if (QLineEdit* edit = fieldEdit(field)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

} // namespace vellick
