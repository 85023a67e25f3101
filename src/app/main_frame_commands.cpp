// CMainFrame: the menu, toolbar, accelerator and panel commands.
#include "app/about_dialog.h"
#include "app/frame_commands.h"
#include "app/help_manual.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
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
#include <unistd.h>

namespace vellick {

namespace {
// "Access folder "%s" failed." for a folder that cannot be made the current directory.
QString accessFailedMessage(const QString& folder)
{
    return QStringLiteral("Access folder \"%1\" failed.").arg(folder);
}

bool makeCurrentDirectory(const QString& folder)
{
    return ::chdir(expandHome(toPath(folder)).c_str()) == 0;
}
} // namespace

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
        if (!onViewCommand(id) && !onHelpCommand(id))
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
        toggleLineNumbers();
        return true;
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

// The commands on found files; they arrive with the next version of the window.
void CMainFrame::onFileCommand(CommandId id)
{
    const bool opens = id == CommandId::Open || id == CommandId::OpenWith;
    if (opens && searchRunning())
        return;
    notAvailableYet(id);
}

void CMainFrame::notAvailableYet(CommandId id)
{
    const QString name
        = QString::fromLatin1(commandInfo(id).menuText).remove(QLatin1Char('&')).remove(QLatin1Char('.'));
    setStatusText(QStringLiteral("%1 is not available yet.").arg(name.trimmed()));
}

void CMainFrame::onStartStop()
{
    if (m_search->inProgress()) {
        m_search->stop();
        return;
    }
    const PanelInput input = m_panel->input();
    const SearchRequest request = prepareSearch(input);
    if (request.patternsDefaulted)
        m_panel->patternsBox()->setEditText(QStringLiteral("*.*"));
    if (!request.criteria) {
        showMessage(request.message);
        return;
    }
    // The stored match mode changes only when a search reads the combo.
    if (request.matchModeRead)
        m_settings.matchMode = input.matchMode;
    m_search->start(*request.criteria, m_settings.search);
}

void CMainFrame::onFolderButton()
{
    if (searchRunning())
        return;
    // The browser opens in the folder of the box when there is one, else where the last one was.
    makeCurrentDirectory(m_panel->folderBox()->currentText());
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Select a Starting Folder"), QDir::currentPath(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    if (makeCurrentDirectory(chosen))
        m_panel->folderBox()->setEditText(chosen);
    else
        showMessage(accessFailedMessage(chosen));
}

void CMainFrame::onFilesButton()
{
    if (searchRunning())
        return;
    const QString folder = m_panel->folderBox()->currentText().trimmed();
    if (!folder.isEmpty() && !makeCurrentDirectory(folder)) {
        showMessage(accessFailedMessage(folder));
        return;
    }
    setStatusText(QStringLiteral("Choosing files and file types is not available yet."));
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
    setKeywordText(fromText(trimText(toText(text.left(static_cast<qsizetype>(kMaxKeywordText))))));
}

void CMainFrame::toggleLineNumbers()
{
    DisplayOptions::setShowLineNumbers(!DisplayOptions::showLineNumbers());
    m_layouts->textPane(false)->ClearSelection();
    m_layouts->textPane(true)->ClearSelection();
}

} // namespace vellick
