#pragma once

#include "cli/found_printer.h"
#include "results/document_sink.h"
#include "search/search_sink.h"

#include <chrono>
#include <optional>
#include <ostream>

namespace vellick {

class CVellickDoc;
class OutputWriter;
class SearchRun;

// vellick-cli's end of a search run: each file found (or listed file kept) goes into the document, for
// the report, and is printed and written out while the walk goes on: on a terminal at once, into a pipe
// or a file in batches a few milliseconds apart. Progress shows on one updating stderr line when stderr
// is a terminal. Once the user interrupts, nothing more is printed.
class CliSink : public SearchSink {
public:
    struct Setup {
        bool listedFilesMode = false;
        bool showProgress = false; // stderr is a terminal
        bool stopAtFirstFound = false; // -q without a report
        bool runOnWithoutOutput = false; // a report is wanted: the run goes on once printing has ended
        bool writeEachRow = false; // stdout is a terminal
    };

    CliSink(CVellickDoc& doc, FoundPrinter& printer, OutputWriter& out, std::ostream& err, SearchRun& run,
        const Setup& setup);
    ~CliSink() override;

    void fileFound(const FoundFile& file) override;
    void listedFileKept(std::size_t listIndex, const FoundFile& file) override;
    void listedFileDropped(std::size_t listIndex) override;
    void progress(const RunProgress& progress) override;
    void insideProblem(std::string_view path, const ContainerNotice& notice) override;
    void finished(const RunSummary& summary) override;

    // Set by finished().
    const std::optional<RunSummary>& summary() const { return m_summary; }
    // Listed-files mode: the rows kept so far (the first rows of the document).
    int keptRows() const { return m_keptRows; }
    void clearProgress();

private:
    void printRow(int row);
    bool writeDue();

    CVellickDoc& m_doc;
    DocumentSink m_documentSink;
    FoundPrinter& m_printer;
    OutputWriter& m_out;
    std::ostream& m_err;
    SearchRun& m_run;
    Setup m_setup;
    bool m_progressShown = false;
    int m_keptRows = 0;
    std::optional<std::chrono::steady_clock::time_point> m_lastWrite; // of rows printed
    std::optional<RunSummary> m_summary;
};

} // namespace vellick
