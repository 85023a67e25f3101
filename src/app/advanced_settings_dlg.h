#pragma once

#include "search/search_options.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace vellick {

// "Advanced Settings": whether hidden files are searched, the hit limit per file (1 to 1024) on a
// slider whose label follows it, and the editor command of Open at Line. The frame hands the values in and takes them
// back after OK only.
class CAdvancedSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvancedSettingsDlg(QWidget* parent = nullptr);

    void setValues(const SearchSettings& settings);
    SearchSettings values() const { return m_values; }
    // Open at Line's command: the stored one, or the detected one when none is stored. editorCommand()
    // gives back an empty text while the box holds the detected command, so that one follows the desktop.
    void setEditorCommand(const QString& stored, const QString& detected);
    QString editorCommand() const;

    void accept() override;

private:
    QCheckBox* m_includeHidden;
    QSlider* m_slider;
    QLabel* m_number;
    QLineEdit* m_editorCommand;
    QString m_detectedEditor;
    SearchSettings m_values;
};

} // namespace vellick
