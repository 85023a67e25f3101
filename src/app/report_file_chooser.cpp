#include "app/report_file_chooser.h"

#include "app/file_command_state.h"
#include "app/include_information_box.h"
#include "app/modal_runner.h"
#include "report/report_extension.h"
#include "views/text_conversion.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>

namespace vellick {
namespace {

const QStringList& reportFilters()
{
    static const QStringList filters { QStringLiteral("CSV (MicroSoft Excel File) (*.csv)"),
        QStringLiteral("Text File for import to MS Access (*.txt)"), QStringLiteral("Plain Text File (*.txt)") };
    return filters;
}

// The boxes and the note under the dialog's own controls.
QWidget* includeInformationPart(FileCommandState& state, QWidget* parent)
{
    auto* part = new QWidget(parent);
    auto* include = new IncludeInformationBox(part);
    include->setOptions(state.reportOptions);
    QObject::connect(include, &IncludeInformationBox::optionsChanged, part,
        [&state](const ReportOptions& options) { state.reportOptions = options; });
    auto* note = new QLabel(QStringLiteral("The report file will contain all the checked files and the currently "
                                           "highlighted file in the search result list."),
        part);
    note->setWordWrap(true);
    auto* layout = new QHBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(include);
    layout->addWidget(note, 1, Qt::AlignVCenter);
    return part;
}

// The dialog confirmed the name as typed; the extension rule may have made it another file's name.
bool mayReplace(QWidget* owner, ModalRunner& runner, const std::string& chosen, const std::string& target)
{
    if (target == chosen || !QFileInfo::exists(fromPath(target)))
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Save search result to file"),
        QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fromPath(target)),
        QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return runner.run(box) == QMessageBox::Yes;
}

} // namespace

std::optional<std::string> ChooseReportFile(QWidget* owner, ModalRunner& runner, FileCommandState& state)
{
    if (state.lastDestinationFolder.empty())
        state.lastDestinationFolder = startFolder(state);
    QFileDialog dialog(owner, QStringLiteral("Save search result to file"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the boxes go into the dialog's own layout
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(reportFilters());
    dialog.selectNameFilter(reportFilters().value(static_cast<int>(state.reportFormat) - 1));
    dialog.setDirectory(fromPath(state.lastDestinationFolder));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        QWidget* part = includeInformationPart(state, &dialog);
        grid->addWidget(part, grid->rowCount(), 0, 1, grid->columnCount());
        // Taller by the boxes, so that the list of files keeps its room.
        dialog.resize(std::max(dialog.width(), 620), dialog.height() + part->sizeHint().height());
    }

    if (runner.run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const int index = reportFilters().indexOf(dialog.selectedNameFilter());
    state.reportFormat = static_cast<ReportFormat>(index < 0 ? 1 : index + 1);
    const std::string chosen = toPath(dialog.selectedFiles().constFirst());
    std::string target = withReportExtension(chosen, state.reportFormat);
    if (!mayReplace(owner, runner, chosen, target))
        return std::nullopt;
    return target;
}

} // namespace vellick
