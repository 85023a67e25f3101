// CMainFrame: the menu, toolbar, accelerator and panel commands.
#include "app/about_dialog.h"
#include "app/advanced_settings_dlg.h"
#include "app/file_types_dlg.h"
#include "app/frame_commands.h"
#include "app/help_manual.h"
#include "app/main_frame.h"
#include "app/modal_runner.h"
#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "platform/editor_launcher.h"
#include "results/display_options.h"
#include "search/text_rules.h"
#include "views/text_conversion.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

namespace vellick {

namespace {
// "Access folder "%s" failed." for a folder that cannot be made the current directory.
QString accessFailedMessage(const QString& folder)
{
    return QStringLiteral("Access folder \"%1\" failed.").arg(folder);
}

// The Files and Folder buttons look at one folder: with several in the box, the first one.
QString firstFolder(const QString& text, const std::string& currentFolder)
{
    const std::vector<std::string> folders = splitFolderText(
        toPath(text), [&](const std::string& folder) { return resolveFolder(folder, currentFolder).has_value(); });
    return folders.size() > 1 ? fromPath(folders.front()) : text;
}

} // namespace

bool CMainFrame::makeCurrentFolder(const QString& folder)
{
    std::optional<std::string> resolved = resolveFolder(toPath(folder), m_currentFolder);
    if (!resolved)
        return false;
    setCurrentFolder(std::move(*resolved));
    return true;
}

void CMainFrame::setCurrentFolder(std::string folder)
{
    m_currentFolder = std::move(folder);
    m_fileCommands->state().currentFolder = m_currentFolder;
}

void CMainFrame::onCommand(CommandId id)
{
    switch (id) {
    case CommandId::Exit:
        close();
        break;
    case CommandId::Copy:
        m_layouts->shownTextPane()->copySelection();
        break;
    case CommandId::Paste:
        pasteKeywords();
        break;
    case CommandId::CheckAll:
        m_layouts->shownList()->checkAll();
        break;
    case CommandId::UncheckAll:
        m_layouts->shownList()->uncheckAll();
        break;
    case CommandId::NextPane:
    case CommandId::PreviousPane:
        switchPane();
        break;
    default:
        if (!onViewCommand(id) && !onHelpCommand(id) && !onDesktopCommand(id))
            onFileCommand(id);
        break;
    }
}

bool CMainFrame::onViewCommand(CommandId id)
{
    switch (id) {
    case CommandId::ToggleToolBar:
        m_commands->toolBar()->setVisible(!m_commands->toolBar()->isVisibleTo(this));
        return true;
    case CommandId::ToggleStatusBar:
        statusBar()->setVisible(!statusBar()->isVisibleTo(this));
        return true;
    case CommandId::ShowLineNumber:
        return true; // its action's check state has changed, and showLineNumbers follows that

    case CommandId::SwitchLayout:
        switchLayout();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::onHelpCommand(CommandId id)
{
    switch (id) {
    case CommandId::HelpIndex:
    case CommandId::Help:
    case CommandId::HelpUsing:
        if (!HelpManual::open(id == CommandId::HelpUsing ? HelpManual::UsingHelp : HelpManual::Contents))
            setStatusText(QStringLiteral("The user manual cannot be opened."));
        return true;
    case CommandId::HelpMode:
        QWhatsThis::enterWhatsThisMode();
        return true;
    case CommandId::About:
        CAboutDlg(this).exec();
        return true;
    default:
        return false;
    }
}

// The commands on found files and the settings dialog.
void CMainFrame::onFileCommand(CommandId id)
{
    switch (id) {
    case CommandId::Open:
    case CommandId::OpenWith:
        m_fileCommands->open(id == CommandId::OpenWith);
        break;
    case CommandId::Rename:
        beginRename();
        break;
    case CommandId::CopyTo:
        m_fileCommands->copyTo();
        break;
    case CommandId::Delete:
        deleteFiles();
        break;
    case CommandId::PrintResult:
    case CommandId::PrintPreview:
        m_fileCommands->printReport(id == CommandId::PrintPreview);
        break;
    case CommandId::SaveReport:
        m_fileCommands->saveReport();
        break;
    case CommandId::AdvancedSettings:
        advancedSettings();
        break;
    default:
        break;
    }
}

void CMainFrame::deleteFiles()
{
    m_fileCommands->deleteFiles();
    // The rows that went took their selection with them: both lists show the new current record selected,
    // so that a second Delete never acts on a file the user cannot see highlighted.
    m_layouts->list(false)->activate();
    m_layouts->list(true)->activate();
}

void CMainFrame::beginRename()
{
    CVellickView* list = m_layouts->shownList();
    list->setFocus(Qt::OtherFocusReason);
    list->beginRename();
}

// Takes effect for the next search; the settings file gets the values at close.
void CMainFrame::advancedSettings()
{
    CAdvancedSettingsDlg dialog(this, m_runner.get());
    dialog.setValues(m_settings.search);
    dialog.setScope(m_settings.scope);
    dialog.setEditorCommand(
        fromText(m_settings.editorCommand), fromText(m_desktopCommands->services().editor.detectedCommand()));
    if (m_runner->run(dialog) == QDialog::Accepted) {
        m_settings.search = dialog.values();
        m_settings.editorCommand = toText(dialog.editorCommand());
        m_settings.scope = dialog.scope();
    }
}

void CMainFrame::onStartStop()
{
    if (m_search->inProgress()) {
        m_search->stop();
        return;
    }
    // "7d" counts back from this Start.
    const ScopeConversion scope = searchScopeFrom(m_settings.scope, std::time(nullptr));
    if (!scope.scope) {
        showMessage(scope.message + "\nChange it under Settings, Advanced Settings.");
        return;
    }
    PanelInput input = m_panel->input();
    input.currentFolder = m_currentFolder;
    input.scope = *scope.scope;
    const SearchRequest request = prepareSearch(input);
    if (request.currentFolder)
        setCurrentFolder(*request.currentFolder);
    if (request.patternsDefaulted)
        m_panel->patternsBox()->setEditText(QStringLiteral("*.*"));
    // The stored match mode changes only when Start reads the combo, which comes before the keyword check.
    if (request.matchModeRead)
        m_settings.matchMode = input.matchMode;
    if (!request.criteria) {
        showMessage(request.message);
        return;
    }
    m_search->start(*request.criteria, m_settings.search);
}

void CMainFrame::onFolderButton()
{
    if (searchRunning())
        return;
    // The browser opens in the folder of the box when there is one, else where the last one was.
    makeCurrentFolder(firstFolder(m_panel->folderBox()->currentText(), m_currentFolder));
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Select a Starting Folder"), fromPath(m_currentFolder), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    if (makeCurrentFolder(chosen))
        m_panel->folderBox()->setEditText(chosen);
    else
        showMessage(accessFailedMessage(chosen));
}

void CMainFrame::onFilesButton()
{
    if (searchRunning())
        return;
    const QString shown = firstFolder(m_panel->folderBox()->currentText(), m_currentFolder);
    const QString folder = shown.trimmed();
    if (!folder.isEmpty() && !makeCurrentFolder(folder)) {
        showMessage(accessFailedMessage(folder));
        return;
    }
    CFileTypesDlg dialog(shown, m_currentFolder, this);
    if (m_runner->run(dialog) != QDialog::Accepted || !dialog.chosenPatterns())
        return;
    m_panel->patternsBox()->setEditText(dialog.chosenPatterns()->left(static_cast<qsizetype>(kMaxFilePatternText)));
}

void CMainFrame::switchLayout()
{
    m_layouts->showLayout(!m_layouts->stackedShown());
    m_layouts->shownList()->setFocus(Qt::OtherFocusReason);
    m_listIsActiveView = true;
}

// F6 and Shift+F6: between the result list and the text pane of the shown layout.
void CMainFrame::switchPane()
{
    CVellickView* list = m_layouts->shownList();
    if (list->hasFocus())
        m_layouts->shownTextPane()->setFocus(Qt::OtherFocusReason);
    else
        list->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::pasteKeywords()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    setKeywordText(trimText(toText(text.left(static_cast<qsizetype>(kMaxKeywordText)))));
}

void CMainFrame::showLineNumbers(bool show)
{
    if (show == DisplayOptions::showLineNumbers())
        return;
    DisplayOptions::setShowLineNumbers(show);
    m_layouts->textPane(false)->ClearSelection();
    m_layouts->textPane(true)->ClearSelection();
}

} // namespace vellick
