#pragma once

#include "report/report_options.h"

#include <QDialog>

namespace vellick {

class IncludeInformationBox;

// "Print search result": the columns of the printed report. The caller fills it from the report options
// and takes the values back only after OK, so Cancel forgets every click.
class CPrintOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPrintOptionsDlg(QWidget* parent = nullptr);

    void setOptions(const ReportOptions& options);
    ReportOptions options() const;

private:
    IncludeInformationBox* m_include;
};

} // namespace vellick
