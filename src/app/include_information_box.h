#pragma once

#include "report/report_options.h"

#include <QGroupBox>

class QCheckBox;

namespace vellick {

// The "Include Information :" group of the report save dialog and the print options dialog: seven check
// boxes, one per report column. Each change of a box, by the mouse, the keyboard or a screen reader, is
// reported at once (the save dialog keeps it even when the dialog is then cancelled).
class IncludeInformationBox : public QGroupBox {
    Q_OBJECT
public:
    explicit IncludeInformationBox(QWidget* parent = nullptr);

    void setOptions(const ReportOptions& options);
    ReportOptions options() const;

signals:
    void optionsChanged(const vellick::ReportOptions& options);

private:
    QCheckBox* m_path;
    QCheckBox* m_type;
    QCheckBox* m_size;
    QCheckBox* m_modified;
    QCheckBox* m_keywords;
    QCheckBox* m_context;
    QCheckBox* m_hits;
    bool m_settingOptions = false;
};

} // namespace vellick
