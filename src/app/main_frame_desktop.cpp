// CMainFrame: the commands that hand found files to the desktop, and drops onto the window.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_panel.h"
#include "platform/linux/desktop/linux_desktop_services.h"
#include "base/parent_directory.h"
#include "views/text_conversion.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <sys/stat.h>

namespace vellick {

namespace {
// A local file URL's path as bytes: the percent-encoding keeps a name that is not valid UTF-8 exact.
std::string localPathOf(const QUrl& url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}
} // namespace

void CMainFrame::setDesktopServices(const DesktopServices& services)
{
    m_desktopCommands = std::make_unique<DesktopCommands>(*m_model, *this, services);
}

void CMainFrame::connectDesktopCommands()
{
    setDesktopServices({ m_desktop->fileManager, m_desktop->editor });
    // Delete, Remove from List and Open at Line take their keys only in the lists.
    for (const bool stacked : { false, true }) {
        for (const CommandId id : { CommandId::Delete, CommandId::RemoveFromList, CommandId::OpenAtLine })
            m_layouts->list(stacked)->addAction(commandAction(id));
        connect(m_layouts->textPane(stacked), &CTextView::lineMenuRequested, this, &CMainFrame::showTextLineMenu);
    }
    // The boxes of the search place take a dropped folder as a whole: the window handles it.
    setAcceptDrops(true);
    m_panel->folderBox()->lineEdit()->setAcceptDrops(false);
    m_panel->patternsBox()->lineEdit()->setAcceptDrops(false);
}

bool CMainFrame::onDesktopCommand(CommandId id)
{
    switch (id) {
    case CommandId::OpenContainingFolder:
        m_desktopCommands->openContainingFolder();
        return true;
    case CommandId::OpenAtLine:
        openCurrentAtLine();
        return true;
    case CommandId::CopyPath:
    case CommandId::CopyName:
        m_desktopCommands->copyToClipboard(
            id == CommandId::CopyPath ? DesktopCommands::CopyWhat::Paths : DesktopCommands::CopyWhat::Names);
        return true;
    case CommandId::RemoveFromList:
        removeFromList();
        return true;
    default:
        return false;
    }
}

void CMainFrame::removeFromList()
{
    if (!m_desktopCommands->removeFromList())
        return;
    // Both lists select the new current record, so the next Delete key takes the file shown highlighted.
    m_layouts->list(false)->activate(CVellickView::Activation::ShowCurrentRow);
    m_layouts->list(true)->activate(CVellickView::Activation::ShowCurrentRow);
}

// The first hit's line of the current record.
void CMainFrame::openCurrentAtLine()
{
    m_desktopCommands->openAtLine(m_doc.current(), 0, m_settings.editorCommand);
}

void CMainFrame::showTextLineMenu(const QPoint& globalPos, int recordIndex, int hit)
{
    QMenu menu(this);
    menu.setAccessibleName(QStringLiteral("Text pane menu"));
    const CommandInfo& info = commandInfo(CommandId::OpenAtLine);
    QAction* open = menu.addAction(QString::fromLatin1(info.menuText));
    open->setStatusTip(QString::fromLatin1(info.prompt));
    open->setEnabled(!searchRunning());
    menu.addAction(commandAction(CommandId::Copy));
    connect(open, &QAction::triggered, this, [this, recordIndex, hit] {
        m_desktopCommands->openAtLine(recordIndex, static_cast<std::size_t>(hit), m_settings.editorCommand);
    });
    menu.exec(globalPos);
}

std::optional<QString> CMainFrame::droppedFolder(const QMimeData* data) const
{
    if (!data || !data->hasUrls() || searchRunning() || !m_panel->folderBox()->isEnabled())
        return std::nullopt;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const std::string path = localPathOf(url);
        struct stat status { };
        if (::stat(path.c_str(), &status) != 0)
            continue;
        return fromPath(S_ISDIR(status.st_mode) ? path : folderOfPath(path));
    }
    return std::nullopt;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFolder(event->mimeData()))
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const std::optional<QString> folder = droppedFolder(event->mimeData());
    if (!folder)
        return;
    m_panel->folderBox()->setEditText(*folder);
    event->acceptProposedAction();
}

} // namespace vellick
