#include "results/vellick_doc.h"

#include "base/parent_directory.h"
#include "platform/shell_services.h"
#include "results/result_order.h"

#include <algorithm>
#include <sys/stat.h>

namespace vellick {

namespace {
FileStatus statusOf(const std::string& path)
{
    const ParentDirectory parent(path);
    struct stat status { };
    if (::fstatat(parent.fd(), parent.name(), &status, 0) != 0)
        return {};
    return { static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_mtim.tv_sec),
        static_cast<int32_t>(status.st_mtim.tv_nsec) };
}
} // namespace

CVellickDoc::CVellickDoc(FileTypeService* fileTypes)
    : m_fileTypes(fileTypes)
{
}

int CVellickDoc::addRecord(
    const std::string& path, FileKind kind, std::optional<FileStatus> status, std::string_view member)
{
    auto line = std::make_unique<CLine>(path);
    line->kind = kind;
    if (m_fileTypes) {
        // A path below a regular file can name nothing, so the member is typed by its name alone.
        FileTypeInfo type = m_fileTypes->describe(member.empty() ? path : path + "/" + std::string(memberName(member)));
        line->typeName = std::move(type.typeName);
        line->iconIndex = type.iconIndex;
    }
    const FileStatus fileStatus = status ? *status : statusOf(path);
    line->size = fileStatus.size;
    line->modified = fileStatus.modified;
    line->modifiedNanoseconds = fileStatus.modifiedNanoseconds;

    const int index = recordCount();
    closeGap();
    const auto row = static_cast<std::size_t>(m_rowCount);
    if (m_displayOrder.size() <= row)
        m_displayOrder.resize(row + 1);
    m_displayOrder[row] = index;
    ++m_rowCount;
    m_records.push_back(std::move(line));
    return index;
}

int CVellickDoc::rowOfRecord(int recordIndex) const
{
    for (int row = 0; row < m_rowCount; ++row) {
        if (recordAtRow(row) == recordIndex)
            return row;
    }
    return -1;
}

void CVellickDoc::moveGap(std::size_t row)
{
    const auto begin = m_displayOrder.begin();
    if (row < m_gapStart)
        std::move_backward(begin + static_cast<std::ptrdiff_t>(row), begin + static_cast<std::ptrdiff_t>(m_gapStart),
            begin + static_cast<std::ptrdiff_t>(m_gapStart + m_gapSize));
    else
        std::move(begin + static_cast<std::ptrdiff_t>(m_gapStart + m_gapSize),
            begin + static_cast<std::ptrdiff_t>(row + m_gapSize), begin + static_cast<std::ptrdiff_t>(m_gapStart));
    m_gapStart = row;
}

void CVellickDoc::closeGap()
{
    if (m_gapSize == 0)
        return;
    moveGap(static_cast<std::size_t>(m_rowCount));
    m_displayOrder.resize(static_cast<std::size_t>(m_rowCount));
    m_gapStart = 0;
    m_gapSize = 0;
}

void CVellickDoc::removeDisplayRow(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    for (DocumentObserver* observer : m_observers)
        observer->onRowAboutToBeRemoved(row);
    if (m_gapSize == 0)
        m_gapStart = static_cast<std::size_t>(row);
    else
        moveGap(static_cast<std::size_t>(row));
    ++m_gapSize;
    --m_rowCount;
    for (DocumentObserver* observer : m_observers)
        observer->onRowRemoved(row);
}

void CVellickDoc::clear()
{
    const bool hadRecords = !m_records.empty();
    if (hadRecords) {
        for (DocumentObserver* observer : m_observers)
            observer->onDocumentAboutToBeCleared();
    }
    m_records.clear();
    m_displayOrder.clear();
    m_gapStart = 0;
    m_gapSize = 0;
    m_rowCount = 0;
    m_current = -1;
    if (hadRecords)
        updateAllViews(DocumentHint::Cleared);
}

void CVellickDoc::sortRowsByColumn(int column)
{
    if (m_rowCount < 2 || column < 0 || column >= kColumnCount)
        return;
    closeGap();
    bool& ascending = m_sortAscending[static_cast<std::size_t>(column)];
    ascending = !ascending;
    sortRows(m_displayOrder.begin(), m_displayOrder.begin() + m_rowCount, column, ascending,
        [this](int index) -> const CLine& { return record(index); });
}

void CVellickDoc::addObserver(DocumentObserver* observer)
{
    m_observers.push_back(observer);
}

void CVellickDoc::removeObserver(DocumentObserver* observer)
{
    std::erase(m_observers, observer);
}

void CVellickDoc::updateAllViews(DocumentHint hint)
{
    for (DocumentObserver* observer : m_observers)
        observer->onDocumentUpdate(hint);
}

} // namespace vellick
