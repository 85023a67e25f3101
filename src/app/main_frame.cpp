#include "app/main_frame.h"

#include "app/frame_commands.h"
#include "app/modal_runner.h"
#include "app/resources.h"
#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "base/paths.h"
#include "platform/linux/desktop/linux_desktop_services.h"
#include "platform/linux/linux_file_services.h"
#include "results/display_options.h"
#include "settings/column_widths.h"
#include "settings/settings_location.h"
#include "settings/window_placement.h"
#include "views/file_icon_list.h"
#include "views/message_box_presenter.h"
#include "views/result_list_model.h"
#include "views/text_conversion.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace vellick {

namespace {
ScreenSize primaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ScreenSize { screen->size().width(), screen->size().height() } : ScreenSize { 800, 600 };
}

std::vector<WindowRect> availableScreenAreas()
{
    std::vector<WindowRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({ area.x(), area.y(), area.width(), area.height() });
    }
    return areas;
}

bool clipboardHoldsText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// The list or text pane a focused widget belongs to: 1 list, 0 text pane, -1 neither.
int paneKind(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const CVellickView*>(widget))
            return 1;
        if (qobject_cast<const CTextView*>(widget))
            return 0;
    }
    return -1;
}
} // namespace

CMainFrame::CMainFrame(CVellickDoc& doc, MimeFileTypes* fileTypes, QWidget* parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_icons(std::make_unique<FileIconList>(fileTypes))
    , m_presenter(std::make_unique<MessageBoxPresenter>())
    , m_runner(std::make_unique<ExecModalRunner>())
    , m_services(std::make_unique<LinuxFileServices>())
    , m_desktop(std::make_unique<LinuxDesktopServices>(m_services->launcher))
    , m_settings(loadSettings(settingsPath(), primaryScreenSize()))
{
    loadResources();
    setWindowTitle(QStringLiteral("Vellick"));
    setAccessibleName(QStringLiteral("Vellick"));
    const WindowRect placed = placeWindow(m_settings.window, availableScreenAreas());
    move(placed.left, placed.top);
    resize(placed.width, placed.height);
    createWidgets();
    setCurrentFolder(currentDirectory().value_or(""));
    restoreSettings();

    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::updateUi);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (const int kind = paneKind(now); kind >= 0)
            m_listIsActiveView = kind == 1;
    });
    m_clipboardHasText = clipboardHoldsText();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
        [this] { m_clipboardHasText = clipboardHoldsText(); });
}

CMainFrame::~CMainFrame()
{
    // The views and the model draw on the icon list, a member that goes before the child widgets would.
    delete m_layouts;
    delete m_model;
}

void CMainFrame::createWidgets()
{
    m_commands = new FrameCommands(*this);
    connect(m_commands, &FrameCommands::triggered, this, &CMainFrame::onCommand);
    commandAction(CommandId::ShowLineNumber)->setChecked(DisplayOptions::showLineNumbers());
    connect(commandAction(CommandId::ShowLineNumber), &QAction::toggled, this, &CMainFrame::showLineNumbers);
    m_status = new StatusPanes(*statusBar());
    statusBar()->setSizeGripEnabled(true);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_panel = new CSearchPanel(central);
    column->addWidget(m_panel);
    m_model = new ResultListModel(m_doc, *m_icons, this);
    setFileServices(
        { m_services->trash, m_services->renamer, m_services->copier, m_services->launcher, m_services->printer });
    connect(m_model, &ResultListModel::renameRequested, this,
        [this](int row, const QString& typedName) { m_fileCommands->finishRename(row, typedName); });
    m_layouts = new ResultLayouts(*m_model, m_doc, *this, central);
    column->addWidget(m_layouts, 1);
    setCentralWidget(central);

    m_listMenu = m_commands->createListContextMenu(this);
    m_search = new SearchController(m_doc, *this, this);
    connectPanel();
    connectDesktopCommands();
}

void CMainFrame::connectPanel()
{
    connect(m_panel->startButton(), &QPushButton::clicked, this, &CMainFrame::onStartStop);
    connect(m_panel->folderButton(), &QPushButton::clicked, this, &CMainFrame::onFolderButton);
    connect(m_panel->filesButton(), &QPushButton::clicked, this, &CMainFrame::onFilesButton);
}

void CMainFrame::setMessagePresenter(std::unique_ptr<MessagePresenter> presenter)
{
    m_presenter = std::move(presenter);
}

void CMainFrame::setModalRunner(std::unique_ptr<ModalRunner> runner)
{
    m_runner = std::move(runner);
    setFileServices(m_fileCommands->services());
}

// The commands keep their report settings and last destination folder across a change of services.
void CMainFrame::setFileServices(const FileServices& services)
{
    const FileCommandState state = m_fileCommands ? m_fileCommands->state() : FileCommandState {};
    m_fileCommands = std::make_unique<FoundFileCommands>(this, m_doc, *this, services, *m_runner);
    m_fileCommands->state() = state;
}

QAction* CMainFrame::commandAction(CommandId id) const
{
    return m_commands->action(id);
}

std::string CMainFrame::settingsPath() const
{
    return settingsFilePath();
}

void CMainFrame::restoreSettings()
{
    // The stacked list's default widths are fractions of its outer width, which is its layout's width once
    // the window has placed its parts.
    layout()->setGeometry(rect());
    centralWidget()->layout()->activate();
    const int charWidth = m_layouts->list(false)->typicalCharWidth();
    m_layouts->list(false)->setColumnWidths(
        loadColumnWidths(settingsPath(), ListLayout::SideBySide, m_layouts->width(), charWidth));
    m_layouts->list(true)->setColumnWidths(
        loadColumnWidths(settingsPath(), ListLayout::Stacked, m_layouts->width(), charWidth));
    // The layouts get what the menu, the toolbar, the panel and the status bar leave of the window.
    const int barsHeight = menuBar()->sizeHint().height() + m_commands->toolBar()->sizeHint().height()
        + m_panel->sizeHint().height() + statusBar()->sizeHint().height();
    m_layouts->setListPaneSizes(
        m_settings.listPaneWidthIn(width()), m_settings.listPaneHeightIn(std::max(0, height() - barsHeight)));
    m_layouts->showLayout(m_settings.stackedLayout);

    m_panel->subFoldersBox()->setChecked(m_settings.subFolders);
    CSearchPanel::setRecentList(*m_panel->folderBox(), m_settings.recentFolders, true);
    m_panel->folderBox()->setEditText(fromPath(m_settings.folderText));
    m_panel->matchModeBox()->setCurrentIndex(static_cast<int>(m_settings.matchMode));
    CSearchPanel::setRecentList(*m_panel->keywordsBox(), m_settings.recentKeywords, false);
    m_panel->setKeywordBytes(m_settings.keywordText);
    CSearchPanel::setRecentList(*m_panel->patternsBox(), m_settings.recentFilePatterns, false);
    m_panel->patternsBox()->setEditText(fromText(m_settings.filePatternText));
    m_panel->matchCaseBox()->setChecked(m_settings.matchCase);
    m_panel->wholeWordBox()->setChecked(m_settings.matchWholeWord);
    m_panel->regexBox()->setChecked(m_settings.regex);
    m_panel->keywordsBox()->setFocus();
}

void CMainFrame::saveSettings()
{
    m_settings.window = { pos().x(), pos().y(), width(), height() };
    const ResultLayouts::PaneSizes panes = m_layouts->paneSizes();
    m_settings.listPaneWidth = panes.listWidth;
    m_settings.textPaneWidth = panes.textWidth;
    m_settings.listPaneHeight = panes.listHeight;
    m_settings.textPaneHeight = panes.textHeight;
    m_settings.stackedLayout = m_layouts->stackedShown();
    m_settings.subFolders = m_panel->subFoldersBox()->isChecked();
    m_settings.matchCase = m_panel->matchCaseBox()->isChecked();
    m_settings.matchWholeWord = m_panel->wholeWordBox()->isChecked();
    m_settings.regex = m_panel->regexBox()->isChecked();
    m_settings.recentKeywords = CSearchPanel::recentList(*m_panel->keywordsBox(), false);
    m_settings.recentFolders = CSearchPanel::recentList(*m_panel->folderBox(), true);
    m_settings.recentFilePatterns = CSearchPanel::recentList(*m_panel->patternsBox(), false);
    // A failed write is not reported: the next run finds the earlier values or the defaults.
    const std::string path = settingsPath();
    vellick::saveSettings(path, m_settings, isMinimized());
    saveColumnWidths(path, ListLayout::SideBySide, m_layouts->list(false)->columnWidths());
    saveColumnWidths(path, ListLayout::Stacked, m_layouts->list(true)->columnWidths());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A search still running ends first, as if stopped, so its recent texts are kept.
    m_closing = true;
    m_search->finishNow();
    saveSettings();
    event->accept();
}

UiFacts CMainFrame::gatherUiFacts() const
{
    UiFacts facts;
    facts.trimmedKeywordText = m_panel->trimmedKeywordText();
    facts.rowCount = m_model->rowCount();
    facts.hasCurrentRecord = m_doc.current() >= 0;
    facts.listIsActiveView = m_listIsActiveView;
    facts.listedBelowChecked = m_panel->listedBelowBox()->isChecked();
    facts.regexChecked = m_panel->regexBox()->isChecked();
    facts.textSelected = m_layouts->shownTextPane()->hasSelectedText();
    facts.clipboardHasText = m_clipboardHasText;
    facts.lineCount = m_lineCount;
    facts.hitCount = m_hitCount;
    if (m_doc.current() >= 0) {
        const CLine& current = m_doc.record(m_doc.current());
        if (current.isMember())
            facts.currentMemberName = std::string(current.fileName());
        facts.currentCutAtLimit = current.inside && current.inside->cutAtLimit;
    }
    return facts;
}

void CMainFrame::updateUi()
{
    if (m_closing)
        return;
    applyUiState(evaluateEnablingRules(gatherUiFacts()));
}

void CMainFrame::applyUiState(const UiState& state)
{
    m_panel->startButton()->setEnabled(state.startEnabled);
    m_panel->matchModeBox()->setEnabled(state.matchModeEnabled);
    m_panel->listedBelowBox()->setEnabled(state.listedBelowEnabled);
    if (!state.listedBelowChecked)
        m_panel->listedBelowBox()->setChecked(false);
    m_panel->patternsBox()->setEnabled(state.searchPlaceEnabled);
    m_panel->folderBox()->setEnabled(state.searchPlaceEnabled);
    m_panel->subFoldersBox()->setEnabled(state.searchPlaceEnabled);
    m_panel->filesButton()->setEnabled(state.placeButtonsEnabled);
    m_panel->folderButton()->setEnabled(state.placeButtonsEnabled);
    m_status->setCountTexts(state.linePane, state.hitPane);

    for (CommandId id : { CommandId::Open, CommandId::OpenWith, CommandId::CopyTo, CommandId::OpenContainingFolder,
             CommandId::CopyPath, CommandId::CopyName, CommandId::RemoveFromList })
        commandAction(id)->setEnabled(state.openEnabled);
    for (CommandId id : { CommandId::Rename, CommandId::Delete, CommandId::OpenAtLine })
        commandAction(id)->setEnabled(state.renameDeleteEnabled);
    // Said once when the row becomes current, so that it does not cover later messages; taken away again
    // with the row when nothing has covered it.
    if (state.currentNote != m_currentNote) {
        if (!m_currentNote.isEmpty() && m_status->message() == m_currentNote)
            setStatusText(QStringLiteral(" "));
        m_currentNote = state.currentNote;
        if (!m_currentNote.isEmpty())
            setStatusText(m_currentNote);
    }
    for (CommandId id : { CommandId::CheckAll, CommandId::UncheckAll, CommandId::PrintResult, CommandId::PrintPreview,
             CommandId::SaveReport })
        commandAction(id)->setEnabled(state.listCommandsEnabled);
    commandAction(CommandId::Copy)->setEnabled(state.copyEnabled);
    commandAction(CommandId::Paste)->setEnabled(state.pasteEnabled);
    commandAction(CommandId::ShowLineNumber)->setChecked(DisplayOptions::showLineNumbers());
    commandAction(CommandId::ToggleToolBar)->setChecked(m_commands->toolBar()->isVisibleTo(this));
    commandAction(CommandId::ToggleStatusBar)->setChecked(statusBar()->isVisibleTo(this));
}

} // namespace vellick
