#include "cli/cli_sink.h"

#include "cli/interrupt.h"
#include "cli/output_writer.h"
#include "results/run_texts.h"
#include "results/vellick_doc.h"
#include "search/search_run.h"

namespace vellick {

CliSink::CliSink(
    CVellickDoc& doc, FoundPrinter& printer, OutputWriter& out, std::ostream& err, SearchRun& run, const Setup& setup)
    : m_doc(doc)
    , m_documentSink(doc)
    , m_printer(printer)
    , m_out(out)
    , m_err(err)
    , m_run(run)
    , m_setup(setup)
{
    m_documentSink.begin(setup.listedFilesMode);
}

CliSink::~CliSink()
{
    clearProgress();
}

void CliSink::fileFound(const FoundFile& file)
{
    m_documentSink.fileFound(file);
    printRow(m_doc.rowCount() - 1);
}

void CliSink::listedFileKept(std::size_t listIndex, const FoundFile& file)
{
    m_documentSink.listedFileKept(listIndex, file);
    printRow(m_keptRows++);
}

void CliSink::listedFileDropped(std::size_t listIndex)
{
    m_documentSink.listedFileDropped(listIndex);
}

void CliSink::printRow(int row)
{
    if (interrupted())
        return;
    clearProgress();
    m_printer.print(m_doc.record(m_doc.recordAtRow(row)));
    if (writeDue() && !m_out.flush() && !m_setup.runOnWithoutOutput)
        m_run.stop();
    if (m_setup.stopAtFirstFound)
        m_run.stop();
}

// Whether the rows printed are written out now rather than when the buffer fills or the run's step ends:
// on a terminal each row at once; into a pipe or a file the first at once, then at most a few milliseconds
// apart, so that a run finding thousands of files does not make a system call (and wake the reader) for
// each of them.
bool CliSink::writeDue()
{
    constexpr std::chrono::milliseconds kBatchTime { 10 };
    const auto now = std::chrono::steady_clock::now();
    if (!m_setup.writeEachRow && m_lastWrite && now - *m_lastWrite < kBatchTime)
        return false;
    m_lastWrite = now;
    return true;
}

void CliSink::progress(const RunProgress& progress)
{
    if (!m_setup.showProgress || interrupted())
        return;
    const std::string text
        = progress.folder ? folderProgressText(progress.checked, progress.path) : fileProgressText(progress.path);
    m_err << "\r\033[K" << text << std::flush;
    m_progressShown = true;
}

// One line per problem, on stderr where it does not mix with what is printed on stdout.
void CliSink::insideProblem(std::string_view path, const ContainerNotice& notice)
{
    if (interrupted())
        return;
    clearProgress();
    m_out.flush();
    m_err << "vellick-cli: " << insideProblemText(path, notice) << '\n';
}

void CliSink::finished(const RunSummary& summary)
{
    m_documentSink.finished(summary);
    m_summary = summary;
}

void CliSink::clearProgress()
{
    if (!m_progressShown)
        return;
    m_err << "\r\033[K" << std::flush;
    m_progressShown = false;
}

} // namespace vellick
