#include "app/help_manual.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vellick {

QString HelpManual::path()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        programFolder + QStringLiteral("/../share/doc/vellick/manual.html"),
        programFolder + QStringLiteral("/manual.html"),
        programFolder + QStringLiteral("/docs/manual.html"),
#ifdef VELLICK_SOURCE_DIR
        QStringLiteral(VELLICK_SOURCE_DIR "/docs/manual.html"),
#endif
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

bool HelpManual::open(Topic topic)
{
    const QString manual = path();
    if (manual.isEmpty())
        return false;
    QUrl url = QUrl::fromLocalFile(manual);
    if (topic == UsingHelp)
        url.setFragment(QStringLiteral("using-help"));
    return QDesktopServices::openUrl(url);
}

} // namespace vellick
