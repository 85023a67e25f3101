#include "app/start_folder.h"

#include "app/main_frame.h"
#include "app/search_panel.h"
#include "search/search_request.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vellick {

namespace {

QString firstNonOption(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-')))
            return argument;
    }
    return {};
}

// File managers pass "file://" URIs (percent-encoded); any other scheme names no local folder.
bool isUri(const QString& argument)
{
    return argument.startsWith(QLatin1String("file:")) || argument.contains(QLatin1String("://"));
}

} // namespace

StartFolder startFolderFromArguments(const QStringList& arguments)
{
    const QString argument = firstNonOption(arguments);
    if (argument.isEmpty())
        return {};
    QString path = argument;
    if (isUri(argument)) {
        const QUrl url(argument);
        if (!url.isValid() || !url.isLocalFile())
            return { {}, QStringLiteral("\"%1\" is not a local folder.").arg(argument) };
        path = url.toLocalFile();
    }
    const QFileInfo info(QDir::current().absoluteFilePath(path));
    if (!info.exists())
        return { {}, QString::fromLatin1(kFolderNotFoundFormat).replace(QLatin1String("%s"), path) };
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return { QDir::cleanPath(folder), {} };
}

void applyStartFolder(CMainFrame& frame, const StartFolder& start)
{
    if (!start.folder.isEmpty())
        frame.searchPanel().folderBox()->setEditText(start.folder);
    if (!start.message.isEmpty())
        frame.setStatusText(start.message);
}

} // namespace vellick
