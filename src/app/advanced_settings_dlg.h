#pragma once

#include "search/search_options.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QSlider;

namespace vellick {

// "Advanced Settings": whether hidden files are searched, and the hit limit per file (1 to 1024) on a
// slider whose label follows it. The frame hands the values in and takes them back after OK only.
class CAdvancedSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAdvancedSettingsDlg(QWidget* parent = nullptr);

    void setValues(const SearchSettings& settings);
    SearchSettings values() const { return m_values; }

    void accept() override;

private:
    QCheckBox* m_includeHidden;
    QSlider* m_slider;
    QLabel* m_number;
    SearchSettings m_values;
};

} // namespace vellick
