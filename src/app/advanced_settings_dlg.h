#pragma once

#include "app/modal_runner.h"
#include "search/search_options.h"
#include "settings/scope_settings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace vellick {

class ScopeSettingsBox;

// "Advanced Settings": whether hidden files are searched, the hit limit per file (1 to 1024) on a
// slider whose label follows it, the search scope, and the editor command of Open at Line. The frame hands
// the values in and takes them back after OK only. OK refuses scope texts that are no size or date with a
// message box (run through `messages`, exec() when none is given) and keeps the dialog open.
class CAdvancedSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvancedSettingsDlg(QWidget* parent = nullptr, ModalRunner* messages = nullptr);

    void setValues(const SearchSettings& settings);
    SearchSettings values() const { return m_values; }
    // Open at Line's command: the stored one, or the detected one when none is stored. editorCommand()
    // gives back an empty text while the box holds the detected command, so that one follows the desktop.
    void setEditorCommand(const QString& stored, const QString& detected);
    QString editorCommand() const;
    void setScope(const ScopeSettings& scope);
    ScopeSettings scope() const;

    void accept() override;

private:
    QCheckBox* m_includeHidden;
    QSlider* m_slider;
    QLabel* m_number;
    QLineEdit* m_editorCommand;
    ScopeSettingsBox* m_scope;
    ExecModalRunner m_execRunner;
    ModalRunner* m_messages;
    QString m_detectedEditor;
    SearchSettings m_values;
};

} // namespace vellick
