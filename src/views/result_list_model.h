#pragma once

#include "results/vellick_doc.h"

#include <QAbstractTableModel>

namespace vellick {

class FileIconList;

// The found files as a table for the result lists: a thin adapter over the document. Row r shows the
// record at entry r of the display order; texts are made only when asked for, so long lists stay cheap.
// A row's check mark is its record's `checked`. Both layouts' lists share one model.
class ResultListModel : public QAbstractTableModel, public DocumentObserver {
    Q_OBJECT
public:
    static constexpr int kColumnCount = CVellickDoc::kColumnCount;

    ResultListModel(CVellickDoc& doc, FileIconList& icons, QObject* parent = nullptr);
    ~ResultListModel() override;

    CVellickDoc& document() const { return m_doc; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The in-place edit of a file name ends: renameRequested is emitted, and the row shows the record's
    // name again, whatever came of it (the label never takes the typed text itself).
    // A check state set through the model (an assistive tool's toggle) ticks or unticks the row.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Rows are dragged as their files: the dragged rows and the checked ones, as a text/uri-list.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    // The records of the taken rows (checked, and the current record's) and of the given rows, in display
    // order, each once.
    std::vector<const CLine*> takenLines(const std::vector<int>& alsoRows = {}) const;

    bool isChecked(int row) const;
    void toggleChecked(int row);
    void setAllChecked(bool checked);
    // Orders the rows by a column (each call on the same column reverses it); selections follow their files.
    void sortByColumn(int column);
    // The row that shows the document's current record, or -1.
    int currentRow() const;

    void onDocumentUpdate(DocumentHint hint) override;
    void onDocumentAboutToBeCleared() override;
    void onRowAboutToBeRemoved(int row) override;
    void onRowRemoved(int row) override;

signals:
    void renameRequested(int row, const QString& typedName);

private:
    QVariant displayText(const CLine& line, int column) const;
    const CLine& lineAt(int row) const { return m_doc.record(m_doc.recordAtRow(row)); }

    CVellickDoc& m_doc;
    FileIconList& m_icons;
    bool m_resetting = false; // between onDocumentAboutToBeCleared() and DocumentHint::Cleared
    int m_rows = 0; // rows announced to the views; the document may hold more until the next hint
};

} // namespace vellick
