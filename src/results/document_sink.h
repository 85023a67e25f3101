#pragma once

#include "search/search_sink.h"

#include <string>
#include <vector>

namespace vellick {

class CVellickDoc;

// Fills CVellickDoc from a search run's events: a record for each found file, the listed rows updated
// or removed in a re-check, and the views told as they always were (DocumentHint::RowsAdded for each of the first
// rows found, once more at the end for the rest). The window's search controller forwards the run's
// events to it; the document belongs to the caller.
class DocumentSink : public SearchSink {
public:
    static constexpr int kAnnouncedFound = 20;

    explicit DocumentSink(CVellickDoc& doc);

    // Readies the document for a run: a walk starts from an empty document, a re-check of the listed files
    // keeps the rows and has no current record.
    void begin(bool listedFilesMode);

    void fileFound(const FoundFile& file) override;
    void listedFileKept(std::size_t listIndex, const FoundFile& file) override;
    void listedFileDropped(std::size_t listIndex) override;
    // Announces the rows not yet announced and makes the first row's record current.
    void finished(const RunSummary& summary) override;

    // The found files so far in this run (rows added, or listed rows kept).
    int foundCount() const { return m_found; }

private:
    CVellickDoc& m_doc;
    int m_found = 0;
    int m_keptRows = 0; // re-check: the listed rows before this one have been kept
};

// The rows' paths in row order: what a re-check of the listed files takes.
std::vector<std::string> listedPaths(const CVellickDoc& doc);
// Beside them, the member path of each row inside an archive; empty when no row is.
std::vector<std::string> listedMembers(const CVellickDoc& doc);

} // namespace vellick
