#include "views/result_list_model.h"

#include "fileops/taken_rows.h"
#include "results/record_texts.h"
#include "views/column_texts.h"
#include "views/file_icon_list.h"
#include "views/file_list_mime.h"
#include "views/text_conversion.h"

#include <QMimeData>
#include <algorithm>
#include <array>
#include <utility>

namespace vellick {

namespace {
constexpr std::array<const char*, ResultListModel::kColumnCount> kTitles
    = { "File Name", "In Folder", "Type", "Size", "Modified", "Hits" };
constexpr int kHitsColumn = 5;
} // namespace

ResultListModel::ResultListModel(CVellickDoc& doc, FileIconList& icons, QObject* parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
    , m_icons(icons)
    , m_rows(doc.rowCount())
{
    m_doc.addObserver(this);
}

ResultListModel::~ResultListModel()
{
    m_doc.removeObserver(this);
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ResultListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    const CLine& line = lineAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return displayText(line, index.column());
    case Qt::EditRole:
        return index.column() == 0 ? QVariant(fromPath(line.fileName())) : QVariant();
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(m_icons.icon(line.iconIndex)) : QVariant();
    case Qt::CheckStateRole:
        return index.column() == 0 ? QVariant(line.checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::AccessibleDescriptionRole:
        return index.column() == 0 ? QVariant(line.checked ? tr("checked") : tr("unchecked")) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == kHitsColumn ? QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter))
                                             : QVariant();
    case Qt::ToolTipRole:
        return index.column() <= 1 ? QVariant(fromPath(line.path)) : QVariant();
    default:
        return {};
    }
}

QVariant ResultListModel::displayText(const CLine& line, int column) const
{
    switch (column) {
    case 0:
        return fromPath(line.fileName());
    case 1:
        return folderColumnText(line);
    case 2:
        return fromText(line.typeName);
    case 3:
        return fromText(sizeText(line.size));
    case 4:
        return fromText(modifiedText(line.modified, false));
    case kHitsColumn:
        return fromText(hitCountText(line.hitCount(), line.hitLimitReached));
    default:
        return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kTitles[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment side = section == kHitsColumn ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(Qt::Alignment(side | Qt::AlignVCenter));
    }
    return {};
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The list toggles the mark itself, so a click on the box never selects the row; the check flag tells
    // assistive tools that the first column is a check box. The file name is edited in place (Rename).
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return index.column() == 0 ? flags | Qt::ItemIsEditable | Qt::ItemIsUserCheckable : flags;
}

bool ResultListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role == Qt::CheckStateRole && index.isValid() && index.column() == 0 && index.row() < m_rows) {
        if (isChecked(index.row()) != (value.toInt() == Qt::Checked))
            toggleChecked(index.row());
        return true;
    }
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || index.row() >= m_rows)
        return false;
    emit renameRequested(index.row(), value.toString());
    emit dataChanged(index, index);
    return false;
}

QStringList ResultListModel::mimeTypes() const
{
    return { QStringLiteral("text/uri-list") };
}

QMimeData* ResultListModel::mimeData(const QModelIndexList& indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        rows.push_back(index.row());
    std::vector<std::string> paths;
    QStringList lines;
    for (const CLine* line : takenLines(rows)) {
        paths.push_back(line->path);
        lines.append(fromPath(line->path));
    }
    return paths.empty() ? nullptr : fileListMimeData(paths, lines.join(QLatin1Char('\n')));
}

Qt::DropActions ResultListModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::LinkAction;
}

std::vector<const CLine*> ResultListModel::takenLines(const std::vector<int>& alsoRows) const
{
    std::vector<int> rows = takenRows(m_doc);
    for (const int row : alsoRows) {
        if (row >= 0 && row < m_rows)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<const CLine*> lines;
    for (const int row : rows) {
        if (row < m_rows)
            lines.push_back(&lineAt(row));
    }
    return lines;
}

bool ResultListModel::isChecked(int row) const
{
    return row >= 0 && row < m_rows && lineAt(row).checked;
}

void ResultListModel::toggleChecked(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    CLine& line = m_doc.record(m_doc.recordAtRow(row));
    line.checked = !line.checked;
    emit dataChanged(index(row, 0), index(row, 0), { Qt::CheckStateRole });
}

void ResultListModel::setAllChecked(bool checked)
{
    for (int row = 0; row < m_rows; ++row)
        m_doc.record(m_doc.recordAtRow(row)).checked = checked;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, 0), { Qt::CheckStateRole });
}

void ResultListModel::sortByColumn(int column)
{
    if (m_rows < 2 || m_rows != m_doc.rowCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> recordsBefore;
    recordsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        recordsBefore.push_back(m_doc.recordAtRow(index.row()));

    m_doc.sortRowsByColumn(column);

    std::vector<int> rowOfRecord(static_cast<std::size_t>(m_doc.recordCount()), -1);
    for (int row = 0; row < m_rows; ++row)
        rowOfRecord[static_cast<std::size_t>(m_doc.recordAtRow(row))] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(
            rowOfRecord[static_cast<std::size_t>(recordsBefore[static_cast<std::size_t>(i)])], before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ResultListModel::currentRow() const
{
    const int current = m_doc.current();
    return current < 0 ? -1 : m_doc.rowOfRecord(current);
}

void ResultListModel::onDocumentAboutToBeCleared()
{
    beginResetModel();
    m_resetting = true;
}

void ResultListModel::onDocumentUpdate(DocumentHint hint)
{
    if (hint == DocumentHint::Cleared) {
        m_rows = 0;
        if (std::exchange(m_resetting, false))
            endResetModel();
        return;
    }
    const int rows = m_doc.rowCount();
    if (m_rows > rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    } else if (m_rows < rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void ResultListModel::onRowAboutToBeRemoved(int row)
{
    if (row < m_rows)
        beginRemoveRows({}, row, row);
}

void ResultListModel::onRowRemoved(int row)
{
    if (row < m_rows) {
        --m_rows;
        endRemoveRows();
    }
}

} // namespace vellick
