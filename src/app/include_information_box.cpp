#include "app/include_information_box.h"

#include <QCheckBox>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace vellick {
namespace {

QCheckBox* addBox(QVBoxLayout* layout, const char* text, const char* name)
{
    auto* box = new QCheckBox(QString::fromLatin1(text));
    box->setObjectName(QString::fromLatin1(name));
    layout->addWidget(box);
    return box;
}

} // namespace

IncludeInformationBox::IncludeInformationBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Include Information :"), parent)
{
    auto* layout = new QVBoxLayout(this);
    m_path = addBox(layout, "Full Folder Name (Path) of File", "includePath");
    m_type = addBox(layout, "File Type", "includeType");
    m_size = addBox(layout, "File Size", "includeSize");
    m_modified = addBox(layout, "File Modified Date", "includeModified");
    m_keywords = addBox(layout, "Keywords Found in File", "includeKeywords");
    m_context = addBox(layout, "Text Surrounding Keywords", "includeContext");
    m_hits = addBox(layout, "Hit count", "includeHits");
    for (QCheckBox* box : { m_path, m_type, m_size, m_modified, m_keywords, m_context, m_hits })
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!m_settingOptions)
                emit optionsChanged(options());
        });
}

void IncludeInformationBox::setOptions(const ReportOptions& options)
{
    const QScopedValueRollback quiet(m_settingOptions, true);
    m_path->setChecked(options.includePath);
    m_type->setChecked(options.includeType);
    m_size->setChecked(options.includeSize);
    m_modified->setChecked(options.includeModified);
    m_keywords->setChecked(options.includeKeywords);
    m_context->setChecked(options.includeContext);
    m_hits->setChecked(options.includeHits);
}

ReportOptions IncludeInformationBox::options() const
{
    ReportOptions options;
    options.includePath = m_path->isChecked();
    options.includeType = m_type->isChecked();
    options.includeSize = m_size->isChecked();
    options.includeModified = m_modified->isChecked();
    options.includeKeywords = m_keywords->isChecked();
    options.includeContext = m_context->isChecked();
    options.includeHits = m_hits->isChecked();
    return options;
}

} // namespace vellick
