#pragma once

#include "results/cline.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vellick {

class FileTypeService;

// What changed in the document, as its views are told.
enum class DocumentHint {
    RowsAdded, // rows were added at the end
    CurrentChanged, // the current record changed (or its file did)
    Cleared, // every record is gone
};

// A view of the document: told about every change with a hint.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void onDocumentUpdate(DocumentHint hint) = 0;
    // Every record is about to go; DocumentHint::Cleared follows once they have.
    virtual void onDocumentAboutToBeCleared() { }
    // A display row is about to go (the record stays), and has gone.
    virtual void onRowAboutToBeRemoved(int /*row*/) { }
    virtual void onRowRemoved(int /*row*/) { }
};

// The one document: owns every found file's record, the display order (row -> record index), the
// current record and the per-column sort directions. Views observe it and hold indexes only.
class CVellickDoc {
public:
    static constexpr int kColumnCount = 6;

    explicit CVellickDoc(FileTypeService* fileTypes = nullptr);

    // Makes a record for a found file; the status comes from the scan, or is read from the path when absent.
    int addRecord(const std::string& path, FileKind kind, std::optional<FileStatus> status = std::nullopt);
    CLine& record(int index) { return *m_records[static_cast<std::size_t>(index)]; }
    const CLine& record(int index) const { return *m_records[static_cast<std::size_t>(index)]; }
    int recordCount() const { return static_cast<int>(m_records.size()); }

    int rowCount() const { return m_rowCount; }
    int recordAtRow(int row) const
    {
        const auto at = static_cast<std::size_t>(row);
        return m_displayOrder[at < m_gapStart ? at : at + m_gapSize];
    }
    // The row showing a record, or -1.
    int rowOfRecord(int recordIndex) const;
    // Removing rows one after another at a moving position (the re-check of listed files does, row after
    // row) takes time in proportion to the rows, not to their square.
    void removeDisplayRow(int row);

    int current() const { return m_current; }
    void setCurrent(int recordIndex) { m_current = recordIndex; }

    // Destroys every record; views hear onDocumentAboutToBeCleared() and DocumentHint::Cleared around it
    // when there were any.
    void clear();

    // Sorts the rows by a column (0 File Name, 1 In Folder, 2 Type, 3 Size, 4 Modified, 5 Hits); each call
    // flips that column's direction. Fewer than two rows: nothing happens.
    void sortRowsByColumn(int column);
    bool sortAscending(int column) const { return m_sortAscending[static_cast<std::size_t>(column)]; }

    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);
    void updateAllViews(DocumentHint hint);

private:
    // The display order is a gap buffer: the rows are m_displayOrder less the m_gapSize entries at
    // m_gapStart, so that removing the row at the gap, or next to it, moves no other row.
    void moveGap(std::size_t row);
    void closeGap();

    FileTypeService* m_fileTypes;
    std::vector<std::unique_ptr<CLine>> m_records;
    std::vector<int32_t> m_displayOrder;
    std::size_t m_gapStart = 0;
    std::size_t m_gapSize = 0;
    int m_rowCount = 0;
    int m_current = -1;
    std::array<bool, kColumnCount> m_sortAscending {};
    std::vector<DocumentObserver*> m_observers;
};

} // namespace vellick
