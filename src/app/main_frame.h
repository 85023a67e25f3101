#pragma once

#include "app/command_table.h"
#include "app/desktop_commands.h"
#include "app/enabling_rules.h"
#include "app/found_file_commands.h"
#include "app/search_window.h"
#include "settings/settings.h"
#include "views/view_host.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class QMimeData;

namespace vellick {

class CSearchPanel;
class CVellickDoc;
struct LinuxDesktopServices;
struct LinuxFileServices;
class ModalRunner;
class FileIconList;
class FrameCommands;
class MessagePresenter;
class MimeFileTypes;
class ResultLayouts;
class ResultListModel;
class SearchController;
class StatusPanes;

// Vellick's one window: menu, toolbar, search panel, the two result layouts and the status bar. It reads
// the settings file when it is made and writes it when it closes, runs the enabling rules whenever the
// interface goes idle, starts and stops searches, and routes the commands on found files to the result
// list of the shown layout. The document and the file-type service belong to the caller.
class CMainFrame : public QMainWindow, public SearchWindow, public ViewHost, public FileCommandHost {
    Q_OBJECT
public:
    CMainFrame(CVellickDoc& doc, MimeFileTypes* fileTypes, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Message boxes go through the presenter; tests replace it.
    void setMessagePresenter(std::unique_ptr<MessagePresenter> presenter);
    // The dialogs of the commands on found files and of the settings run through the runner (exec() by
    // default), and the commands use these shell services (the desktop's by default); tests replace both.
    void setModalRunner(std::unique_ptr<ModalRunner> runner);
    void setFileServices(const FileServices& services);
    FoundFileCommands& fileCommands() const { return *m_fileCommands; }
    // The file manager and the editor (the desktop's by default); tests replace them.
    void setDesktopServices(const DesktopServices& services);
    DesktopCommands& desktopCommands() const { return *m_desktopCommands; }
    const SearchSettings& searchSettings() const { return m_settings.search; }

    CSearchPanel& searchPanel() const { return *m_panel; }
    ResultLayouts& layouts() const { return *m_layouts; }
    StatusPanes& statusPanes() const { return *m_status; }
    QAction* commandAction(CommandId id) const;
    SearchController& search() const { return *m_search; }

    // The enabling rules; run whenever the event loop is about to wait.
    void updateUi();

    // SearchWindow
    void setStatusText(const std::string& text) override;
    void blankIndicators() override;
    void setStartButtonLabel(const std::string& label) override;
    void setCombosReadOnly(bool readOnly) override;
    void setBusy(bool busy) override;
    void beep() override;
    void resetTextPane() override;
    void invalidateTextPane() override;
    void selectFirstRowAndFocus() override;
    void repaintNow() override;
    void showMessage(const std::string& text) override;
    void updateRecentLists(
        const std::string& keywords, const std::string& folder, const std::string& filePatterns) override;

    // ViewHost
    void setStatusText(const QString& text) override;
    void setKeywordText(const std::string& bytes) override;
    void setTextCounts(int lineCount, int hitCount) override;
    void showMessage(const QString& text) override;
    bool searchRunning() const override;
    void openCurrentFile() override;
    void showListContextMenu(const QPoint& globalPos) override;

    // FileCommandHost (the status text, messages and search flag are the ViewHost's)
    const KeywordList& lastKeywords() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A folder or file dropped onto the window (outside the keywords box) fills the Folder box.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createWidgets();
    void connectPanel();
    void restoreSettings();
    void saveSettings();
    void onCommand(CommandId id);
    bool onViewCommand(CommandId id);
    bool onHelpCommand(CommandId id);
    void onFileCommand(CommandId id);
    void onStartStop();
    void onFolderButton();
    // Makes the folder a text names (relative ones from the current folder) the current folder; false
    // when it names no folder that can be entered.
    bool makeCurrentFolder(const QString& folder);
    void setCurrentFolder(std::string folder);
    void onFilesButton();
    void switchLayout();
    void switchPane();
    void pasteKeywords();
    // Show Line Number: whatever changed the check state of its action or toolbar button.
    void showLineNumbers(bool show);
    void deleteFiles();
    void beginRename();
    void advancedSettings();
    bool onDesktopCommand(CommandId id);
    void connectDesktopCommands();
    void removeFromList();
    void openCurrentAtLine();
    void showTextLineMenu(const QPoint& globalPos, int recordIndex, int hit);
    std::optional<QString> droppedFolder(const QMimeData* data) const;
    void applyUiState(const UiState& state);
    UiFacts gatherUiFacts() const;
    std::string settingsPath() const;

    CVellickDoc& m_doc;
    std::unique_ptr<FileIconList> m_icons;
    std::unique_ptr<MessagePresenter> m_presenter;
    std::unique_ptr<ModalRunner> m_runner;
    std::unique_ptr<LinuxFileServices> m_services;
    std::unique_ptr<FoundFileCommands> m_fileCommands;
    std::unique_ptr<LinuxDesktopServices> m_desktop;
    std::unique_ptr<DesktopCommands> m_desktopCommands;
    Settings m_settings;
    // What an empty Folder box means and where the folder and file dialogs open: the last folder searched
    // or chosen, at first the directory the program started in.
    std::string m_currentFolder;
    CSearchPanel* m_panel = nullptr;
    FrameCommands* m_commands = nullptr;
    StatusPanes* m_status = nullptr;
    ResultListModel* m_model = nullptr;
    ResultLayouts* m_layouts = nullptr;
    SearchController* m_search = nullptr;
    QMenu* m_listMenu = nullptr;
    bool m_listIsActiveView = true;
    bool m_clipboardHasText = false;
    bool m_closing = false;
    int m_lineCount = 0;
    int m_hitCount = 0;
    QString m_currentNote; // the enabling rules' last note on the current row
};

} // namespace vellick
