#pragma once

#include "results/cline.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vellick {

class FileTypeService;

// View update hints; the high 16 bits carry the meaning.
inline constexpr uint32_t HintRowsAdded = 0x10001;
inline constexpr uint32_t HintCurrentChanged = 0x20002;
inline constexpr uint32_t HintCleared = 0x210001;

// A view of the document: told about every change with a hint.
class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void onDocumentUpdate(uint32_t hint) = 0;
    // A display row is about to go (the record stays), and has gone.
    virtual void onRowAboutToBeRemoved(int /*row*/) { }
    virtual void onRowRemoved(int /*row*/) { }
};

// The one document: owns every found file's record, the display order (row -> record index), the
// current record and the per-column sort directions. Views observe it and hold indexes only.
class CVellickDoc {
public:
    static constexpr int kColumnCount = 5;

    explicit CVellickDoc(FileTypeService* fileTypes = nullptr);

    // Makes a record for a found file; the status comes from the scan, or is read from the path when absent.
    int addRecord(const std::string& path, FileKind kind, std::optional<FileStatus> status = std::nullopt);
    CLine& record(int index) { return *m_records[static_cast<std::size_t>(index)]; }
    const CLine& record(int index) const { return *m_records[static_cast<std::size_t>(index)]; }
    int recordCount() const { return static_cast<int>(m_records.size()); }
    int lastRecordIndex() const { return recordCount() - 1; }
    void removeLastRecord();

    int rowCount() const { return m_rowCount; }
    int recordAtRow(int row) const { return m_displayOrder[static_cast<std::size_t>(row)]; }
    // The row showing a record, or -1.
    int rowOfRecord(int recordIndex) const;
    void removeDisplayRow(int row);

    int current() const { return m_current; }
    void setCurrent(int recordIndex) { m_current = recordIndex; }

    // Destroys every record; views hear HintCleared when there were any.
    void clear();

    // Sorts the rows by a column (0 File Name, 1 In Folder, 2 Type, 3 Size, 4 Modified); each call
    // flips that column's direction. Fewer than two rows: nothing happens.
    void sortRowsByColumn(int column);
    bool sortAscending(int column) const { return m_sortAscending[static_cast<std::size_t>(column)]; }

    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);
    void updateAllViews(uint32_t hint);

private:
    FileTypeService* m_fileTypes;
    std::vector<std::unique_ptr<CLine>> m_records;
    std::vector<int32_t> m_displayOrder;
    int m_rowCount = 0;
    int m_current = -1;
    std::array<bool, kColumnCount> m_sortAscending {};
    std::vector<DocumentObserver*> m_observers;
};

} // namespace vellick
