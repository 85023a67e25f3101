#include "results/document_sink.h"

#include "results/vellick_doc.h"

namespace vellick {

namespace {
void setHits(CLine& line, const FoundFile& file)
{
    line.clearHits();
    for (const Hit& hit : file.hits)
        line.appendHit(hit);
    line.hitLimitReached = file.hitLimitReached;
}
} // namespace

DocumentSink::DocumentSink(CVellickDoc& doc)
    : m_doc(doc)
{
}

void DocumentSink::begin(bool listedFilesMode)
{
    m_found = 0;
    m_keptRows = 0;
    if (listedFilesMode)
        m_doc.setCurrent(-1);
    else
        m_doc.clear();
}

void DocumentSink::fileFound(const FoundFile& file)
{
    const int index = m_doc.addRecord(std::string(file.path), file.kind, file.status);
    setHits(m_doc.record(index), file);
    if (++m_found < kAnnouncedFound)
        m_doc.updateAllViews(DocumentHint::RowsAdded);
}

// The listed rows are re-checked in row order, so the row of this file is the one after those kept.
void DocumentSink::listedFileKept(std::size_t /*listIndex*/, const FoundFile& file)
{
    CLine& line = m_doc.record(m_doc.recordAtRow(m_keptRows++));
    // The file may have changed since it was listed: its kind must agree with the new hit lines, and its
    // size and time with the text the new hits point into (the loader compares the time).
    line.kind = file.kind;
    line.size = file.status.size;
    line.modified = file.status.modified;
    line.modifiedNanoseconds = file.status.modifiedNanoseconds;
    setHits(line, file);
    ++m_found;
}

// The record stays (without its hits, which no longer hold) while its row goes.
void DocumentSink::listedFileDropped(std::size_t /*listIndex*/)
{
    CLine& line = m_doc.record(m_doc.recordAtRow(m_keptRows));
    line.clearHits();
    line.hitLimitReached = false;
    m_doc.removeDisplayRow(m_keptRows);
}

void DocumentSink::finished(const RunSummary& summary)
{
    if (summary.found == 0)
        return;
    if (summary.found >= kAnnouncedFound)
        m_doc.updateAllViews(DocumentHint::RowsAdded);
    m_doc.setCurrent(m_doc.recordAtRow(0));
}

std::vector<std::string> listedPaths(const CVellickDoc& doc)
{
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(doc.rowCount()));
    for (int row = 0; row < doc.rowCount(); ++row)
        paths.push_back(doc.record(doc.recordAtRow(row)).path);
    return paths;
}

} // namespace vellick
