#pragma once

#include "settings/scope_settings.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;

namespace vellick {

// The "Search scope" group of Advanced Settings: excluded folders, size and date bounds as typed, and the
// binary, gitignore, files-without-hits and documents choices. It holds the texts as the user left them;
// the dialog checks them when OK is pressed.
class ScopeSettingsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ScopeSettingsBox(QWidget* parent = nullptr);

    void setSettings(const ScopeSettings& settings);
    // The texts trimmed, the choices as checked.
    ScopeSettings settings() const;
    // Puts the cursor in a text field with its text selected, for the user to correct it.
    void focusField(ScopeField field);

    // The controls in tab order.
    QList<QWidget*> controls() const;

private:
    QLineEdit* addLine(const char* objectName, const QString& placeholder, const QString& toolTip);
    QCheckBox* addCheck(const char* objectName, const QString& text, const QString& toolTip);
    QLineEdit* fieldEdit(ScopeField field) const;

    QLineEdit* m_excludedFolders;
    QLineEdit* m_minSize;
    QLineEdit* m_maxSize;
    QLineEdit* m_modifiedAfter;
    QLineEdit* m_modifiedBefore;
    QCheckBox* m_binaryFiles;
    QCheckBox* m_gitignore;
    QCheckBox* m_filesWithoutHits;
    QCheckBox* m_documents;
};

} // namespace vellick
