#include "app/found_file_commands.h"

#include "app/modal_runner.h"
#include "app/open_with_dlg.h"
#include "app/print_options_dlg.h"
#include "app/report_file_chooser.h"
#include "fileops/copy_files.h"
#include "fileops/delete_files.h"
#include "fileops/open_file.h"
#include "fileops/rename_rules.h"
#include "fileops/taken_rows.h"
#include "platform/print_service.h"
#include "report/report_writer.h"
#include "results/display_options.h"
#include "results/message_sink.h"
#include "results/vellick_doc.h"
#include "search/folder_walk.h"
#include "settings/settings_location.h"
#include "settings/whole_file.h"
#include "views/text_conversion.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vellick {
namespace {

// The loader's messages while a report is written go to the window's message boxes.
class HostMessages : public MessageSink {
public:
    explicit HostMessages(FileCommandHost& host)
        : m_host(host)
    {
    }
    void showMessage(const std::string& text) override { m_host.showMessage(fromPath(text)); }

private:
    FileCommandHost& m_host;
};

// The Open With question, answered by COpenWithDlg.
class OpenWithQuestion : public ProgramQuestion {
public:
    OpenWithQuestion(QWidget* owner, ModalRunner& runner)
        : m_owner(owner)
        , m_runner(runner)
    {
    }
    std::optional<std::string> askProgram() override
    {
        COpenWithDlg dialog(m_runner, m_owner);
        if (m_runner.run(dialog) != QDialog::Accepted)
            return std::nullopt;
        return toPath(dialog.programName());
    }

private:
    QWidget* m_owner;
    ModalRunner& m_runner;
};

// The file dialog takes "*.*" literally and would hide the names without a dot; "*" is what it means here.
QString dialogPattern(const std::string& pattern)
{
    return pattern == "*.*" ? QStringLiteral("*") : fromPath(pattern);
}

} // namespace

FoundFileCommands::FoundFileCommands(
    QWidget* owner, CVellickDoc& doc, FileCommandHost& host, FileServices services, ModalRunner& runner)
    : m_owner(owner)
    , m_doc(doc)
    , m_host(host)
    , m_services(services)
    , m_runner(runner)
    , m_boxes(owner, runner)
{
}

void FoundFileCommands::showFailure(const QString& caption, const ShellResult& result)
{
    if (result.status == ShellResult::Status::Failed)
        m_boxes.show(QMessageBox::Warning, caption, fromPath(result.reason));
}

void FoundFileCommands::deleteFiles()
{
    if (m_doc.current() < 0)
        return;
    if (!m_boxes.askYesNo(QString::fromLatin1(kDeleteCaption), QString::fromLatin1(kDeleteQuestion)))
        return;
    const DeleteOutcome outcome = deleteTakenFiles(m_doc, m_services.trash);
    showFailure(QStringLiteral("Delete"), outcome.stoppedBy);
}

void FoundFileCommands::finishRename(int row, const QString& typed)
{
    if (row < 0 || row >= m_doc.rowCount())
        return;
    const std::string_view oldName = m_doc.record(m_doc.recordAtRow(row)).fileName();
    const RenameOutcome outcome = renameRow(m_doc, row, toPathAsShown(typed, oldName), m_services.renamer);
    if (outcome.step == RenameStep::Forbidden)
        m_boxes.show(QMessageBox::Critical, QString::fromLatin1(kRenameCaption),
            QString::fromLatin1(forbiddenCharactersMessage()));
    else if (outcome.step == RenameStep::Failed)
        showFailure(QString::fromLatin1(kRenameCaption), outcome.result);
}

void FoundFileCommands::copyTo()
{
    if (copyModeFor(m_doc) == CopyMode::OneFile)
        copyOneFile();
    else
        copyToFolder();
}

void FoundFileCommands::copyOneFile()
{
    if (m_doc.current() < 0)
        return;
    const CLine& line = m_doc.record(m_doc.current());
    const CopyDialogSetup setup = copyDialogSetup(line);
    QFileDialog dialog(m_owner, fromPath(setup.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the copy asks itself, with Yes to All and Cancel
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const auto& [label, pattern] : setup.filters)
        filters.append(fromPath(label) + QStringLiteral(" (") + dialogPattern(pattern) + QLatin1Char(')'));
    dialog.setNameFilters(filters);
    dialog.selectFile(fromPath(setup.defaultName));
    if (m_runner.run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    const std::string target
        = joinPath(toPath(chosen.absolutePath()), toPathAsShown(chosen.fileName(), setup.defaultName));
    const std::optional<std::string> source = fileOf(line, false);
    if (!source)
        return;
    ReplaceDecision replace(m_boxes);
    const ShellResult result = vellick::copyOneFile(*source, target, m_services.copier, replace);
    if (result.reason == kCopiedToItself)
        m_boxes.show(QMessageBox::Critical, QStringLiteral("Error"), QString::fromLatin1(kCopiedToItself));
    else
        showFailure(QStringLiteral("Copy"), result);
}

void FoundFileCommands::copyToFolder()
{
    if (m_host.searchRunning())
        return;
    if (m_state.lastDestinationFolder.empty())
        m_state.lastDestinationFolder = startFolder(m_state);
    QFileDialog dialog(m_owner, QString::fromLatin1(kDestinationFolderTitle));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(fromPath(m_state.lastDestinationFolder));
    if (m_runner.run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string folder = toPath(dialog.selectedFiles().constFirst());
    if (folder.empty())
        return;
    ReplaceDecision replace(m_boxes);
    const FolderCopyOutcome outcome = copyTakenToFolder(m_doc, folder, m_services.copier, replace, &m_memberCopies);
    if (outcome.batchesCopied > 0)
        m_state.lastDestinationFolder = folder;
    showFailure(QStringLiteral("Copy"), outcome.stoppedBy);
}

void FoundFileCommands::open(bool askForProgram)
{
    if (!m_host.searchRunning())
        launch(askForProgram);
}

void FoundFileCommands::launch(bool askForProgram)
{
    if (m_doc.current() < 0)
        return;
    const std::optional<std::string> path = fileOf(m_doc.record(m_doc.current()), true);
    if (!path)
        return;
    OpenWithQuestion question(m_owner, m_runner);
    const auto error = openFile(*path, askForProgram, m_services.launcher, question);
    if (error)
        m_boxes.show(QMessageBox::Information, QString::fromLatin1(kOpenErrorCaption), fromPath(*error));
}

// The file a command acts on: the record's own, or for a member of an archive its extracted copy (read-only
// for Open, so that no program takes it for the original); nothing when that failed, after saying why.
std::optional<std::string> FoundFileCommands::fileOf(const CLine& line, bool readOnly)
{
    if (!line.isMember())
        return line.path;
    MemberCopies::Copy copy = m_memberCopies.extract(line, readOnly);
    if (copy.path.empty()) {
        m_boxes.show(QMessageBox::Information, QStringLiteral("Vellick"), fromPath(copy.error));
        return std::nullopt;
    }
    return std::move(copy.path);
}

bool FoundFileCommands::writeReport(const std::string& path, ReportFormat format)
{
    HostMessages messages(m_host);
    const ReportSettings settings { format, m_state.reportOptions, DisplayOptions::showLineNumbers() };
    m_host.setStatusText(QStringLiteral("Saving ..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportStatus status
        = WriteReport(path, checkedAndHighlightedRows(m_doc), m_host.lastKeywords(), settings, messages);
    QApplication::restoreOverrideCursor();
    m_host.setStatusText(QStringLiteral(" "));
    if (status != ReportStatus::Written)
        m_boxes.show(QMessageBox::Critical, QStringLiteral("Error"), fromPath(reportStatusText(status)));
    return status == ReportStatus::Written;
}

void FoundFileCommands::saveReport()
{
    if (const auto path = ChooseReportFile(m_owner, m_runner, m_state))
        writeReport(*path, m_state.reportFormat);
}

void FoundFileCommands::printReport(bool preview)
{
    CPrintOptionsDlg options(m_owner);
    options.setOptions(m_state.reportOptions);
    if (m_runner.run(options) != QDialog::Accepted)
        return;
    m_state.reportOptions = options.options();
    const std::string path = printReportFilePath();
    if (path.empty() || !makeParentFolders(path)) {
        m_host.setStatusText(QStringLiteral("The print report cannot be written: no folder for it."));
        return;
    }
    // The printed report is always plain text; the format chosen for saving stays as it was. A report that
    // could not be written is not printed: an older file there would show other results.
    if (!writeReport(path, ReportFormat::PlainText))
        return;
    const ShellResult result = preview ? m_services.printer.preview(path) : m_services.printer.print(path);
    if (!result.ok())
        m_host.setStatusText(fromPath(result.reason));
}

} // namespace vellick
