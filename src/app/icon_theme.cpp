#include "app/icon_theme.h"

#include <QDir>
#include <QIcon>
#include <QStandardPaths>

namespace vellick {

void prepareIconTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    QStringList folders = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    folders << QDir::homePath() + QStringLiteral("/.icons") << QStringLiteral("/usr/share/icons");
    for (const QString& folder : folders) {
        if (!paths.contains(folder) && QDir(folder).exists())
            paths << folder;
    }
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace vellick
