#include "app/desktop_commands.h"

#include "app/found_file_commands.h"
#include "fileops/remove_rows.h"
#include "platform/editor_launcher.h"
#include "platform/file_manager.h"
#include "results/vellick_doc.h"
#include "views/file_list_mime.h"
#include "views/result_list_model.h"
#include "views/text_conversion.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

namespace vellick {

DesktopCommands::DesktopCommands(ResultListModel& model, FileCommandHost& host, DesktopServices services)
    : m_model(model)
    , m_host(host)
    , m_services(services)
{
}

void DesktopCommands::openContainingFolder()
{
    const CVellickDoc& doc = m_model.document();
    if (doc.current() < 0)
        return;
    const std::string path = doc.record(doc.current()).path;
    m_host.setStatusText(QStringLiteral("Showing %1 in the file manager ...").arg(fromPath(path)));
    FileCommandHost* host = &m_host;
    m_services.fileManager.showItem(path, [host, alive = std::weak_ptr<bool>(m_alive)](const ShellResult& result) {
        if (alive.lock())
            host->setStatusText(result.ok() ? QStringLiteral(" ") : fromPath(result.reason));
    });
}

void DesktopCommands::copyToClipboard(CopyWhat what)
{
    std::vector<std::string> paths;
    QStringList lines;
    for (const CLine* line : m_model.takenLines()) {
        if (!line->isMember()) // a member is no file: pasted as its archive it would be mistaken for it
            paths.push_back(line->path);
        lines.append(fromPath(what == CopyWhat::Names ? std::string(line->fileName()) : line->shownPath()));
    }
    if (lines.isEmpty())
        return;
    QGuiApplication::clipboard()->setMimeData(fileListMimeData(paths, lines.join(QLatin1Char('\n'))));
    const QString things = what == CopyWhat::Names ? QStringLiteral("name") : QStringLiteral("path");
    m_host.setStatusText(lines.size() == 1 ? QStringLiteral("Copied 1 %1.").arg(things)
                                           : QStringLiteral("Copied %1 %2s.").arg(lines.size()).arg(things));
}

bool DesktopCommands::removeFromList()
{
    // The search run walks the rows while it re-checks listed files.
    if (m_host.searchRunning()) {
        m_host.setStatusText(QStringLiteral("Files can be removed from the list once the search has ended."));
        return false;
    }
    const int removed = removeTakenRows(m_model.document());
    if (removed > 0)
        m_host.setStatusText(removed == 1 ? QStringLiteral("1 file removed from the list.")
                                          : QStringLiteral("%1 files removed from the list.").arg(removed));
    return removed > 0;
}

void DesktopCommands::openAtLine(int recordIndex, std::size_t hit, const std::string& command)
{
    const CVellickDoc& doc = m_model.document();
    if (m_host.searchRunning() || recordIndex < 0 || recordIndex >= doc.recordCount())
        return;
    const CLine& line = doc.record(recordIndex);
    const std::string used = command.empty() ? m_services.editor.detectedCommand() : command;
    const ShellResult result = m_services.editor.openAtLine(used, line.path, editorLineOfHit(line, hit));
    if (!result.ok())
        m_host.setStatusText(fromPath(result.reason));
}

std::int64_t editorLineOfHit(const CLine& line, std::size_t hit)
{
    if (line.kind != FileKind::Text || hit >= line.hitCount())
        return 1;
    return static_cast<std::int64_t>(line.hit(hit).line) + 1;
}

} // namespace vellick
