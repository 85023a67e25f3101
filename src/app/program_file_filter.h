#pragma once

#include <QSortFilterProxyModel>

namespace vellick {

// The "Programs" filter of Open With's file browser: Linux programs rarely have an extension, so the
// browser's model is filtered by what can be run. Folders stay, so that the user can walk into them.
// The browser owns the filter and switches it with its name filters.
class ProgramFileFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setProgramsOnly(bool programsOnly);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    bool m_programsOnly = true;
};

} // namespace vellick
