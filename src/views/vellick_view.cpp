#include "views/vellick_view.h"

#include "views/result_item_delegate.h"
#include "views/result_list_model.h"
#include "views/view_host.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <utility>

namespace vellick {

CVellickView::CVellickView(ResultListModel& model, ViewHost& host, bool stackedLayout, QWidget* parent)
    : QTableView(parent)
    , m_model(model)
    , m_host(host)
    , m_stackedLayout(stackedLayout)
{
    setAccessibleName(stackedLayout ? tr("Result list (stacked layout)") : tr("Result list (side-by-side layout)"));
    setModel(&m_model);
    setItemDelegate(new ResultItemDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Rename in place: a click on the name of the selected row, or F2.
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // Fixed row heights keep a list of 100000 rows as quick as a short one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(18, fontMetrics().height() + 4));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(true);
    // Rows are dragged out as files; a file manager decides between copy and link, never a move that
    // would leave the row behind.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CVellickView::onHeadingClicked);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CVellickView::onSelectionChanged);
}

void CVellickView::setColumnWidths(const Widths& widths)
{
    for (int column = 0; column < kColumnCount; ++column)
        setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
}

int CVellickView::typicalCharWidth() const
{
    static const QString kSample = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 .:/");
    const int size = static_cast<int>(kSample.size());
    const int measured = (fontMetrics().horizontalAdvance(kSample) + size - 1) / size;
    return std::max(fontMetrics().averageCharWidth(), measured);
}

CVellickView::Widths CVellickView::columnWidths() const
{
    Widths widths {};
    for (int column = 0; column < kColumnCount; ++column)
        widths[static_cast<std::size_t>(column)] = columnWidth(column);
    return widths;
}

void CVellickView::beginRename()
{
    const int row = m_model.currentRow();
    if (row < 0)
        return;
    const QModelIndex name = m_model.index(row, 0);
    scrollTo(name);
    edit(name);
}

void CVellickView::checkAll()
{
    m_model.setAllChecked(true);
}

void CVellickView::uncheckAll()
{
    m_model.setAllChecked(false);
}

void CVellickView::selectFirstRowAndFocus()
{
    if (m_model.rowCount() == 0)
        return;
    setCurrentIndex(m_model.index(0, 0));
    selectRowQuietly(0);
    setFocus(Qt::OtherFocusReason);
}

void CVellickView::activate(Activation activation)
{
    const int row = m_model.currentRow();
    if (row < 0)
        return;
    if (activation == Activation::ShowCurrentRow)
        selectionModel()->setCurrentIndex(m_model.index(row, 0), QItemSelectionModel::NoUpdate);
    selectRowQuietly(row);
}

// Selects a row without touching the scroll position or the focus.
void CVellickView::selectRowQuietly(int row)
{
    selectionModel()->select(m_model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CVellickView::onSelectionChanged()
{
    if (m_host.searchRunning())
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    CVellickDoc& doc = m_model.document();
    if (rows.isEmpty() || doc.rowCount() == 0)
        return;
    const int record = doc.recordAtRow(rows.front().row());
    const int previous = doc.current();
    if (record == previous)
        return;
    // The surrounding text of the file left behind is loaded again when it is shown again.
    if (previous >= 0 && previous < doc.recordCount())
        doc.record(previous).dropContexts();
    doc.setCurrent(record);
    doc.updateAllViews(DocumentHint::CurrentChanged);
}

void CVellickView::onHeadingClicked(int column)
{
    if (m_model.rowCount() < 2 || m_host.searchRunning())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.sortByColumn(column);
    activate();
    viewport()->update();
    QGuiApplication::restoreOverrideCursor();
}

int CVellickView::checkBoxRowAt(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || index.column() != 0)
        return -1;
    return ResultItemDelegate::checkBoxRect(visualRect(index)).contains(pos) ? index.row() : -1;
}

void CVellickView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = checkBoxRowAt(event->position().toPoint());
        if (row >= 0) {
            // The box toggles; the row is not selected and the current record stays.
            m_model.toggleChecked(row);
            m_boxPressed = true;
            event->accept();
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

void CVellickView::mouseReleaseEvent(QMouseEvent* event)
{
    // The list would take the release for the second click on the selected name and begin a rename.
    if (std::exchange(m_boxPressed, false)) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CVellickView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // Anywhere on a row, its check box included, a double click opens the row's file when it is the current
    // one; the first click of the pair has made it current unless a search runs.
    const QModelIndex index = indexAt(event->position().toPoint());
    CVellickDoc& doc = m_model.document();
    if (index.isValid() && index.row() < doc.rowCount() && doc.recordAtRow(index.row()) == doc.current())
        m_host.openCurrentFile();
    event->accept();
}

void CVellickView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_model.document().current() < 0 || m_host.searchRunning())
        return;
    m_host.showListContextMenu(event->globalPos());
    event->accept();
}

void CVellickView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    if (!m_host.searchRunning())
        activate();
}

void CVellickView::keyPressEvent(QKeyEvent* event)
{
    // Space ticks or unticks the keyboard's row, the way a click on its box does.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const int row = currentIndex().isValid() ? currentIndex().row() : m_model.currentRow();
        if (row >= 0)
            m_model.toggleChecked(row);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace vellick
