#include "app/program_file_filter.h"

#include <QFileSystemModel>

namespace vellick {

void ProgramFileFilter::setProgramsOnly(bool programsOnly)
{
    if (programsOnly == m_programsOnly)
        return;
    m_programsOnly = programsOnly;
    invalidateFilter();
}

bool ProgramFileFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!m_programsOnly || !files)
        return true;
    const QFileInfo info = files->fileInfo(files->index(sourceRow, 0, sourceParent));
    return info.isDir() || info.isExecutable();
}

} // namespace vellick
