#include "platform/linux/desktop/freedesktop_file_manager.h"

#include "platform/file_uri.h"
#include "platform/launcher.h"
#include "base/parent_directory.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QStringList>

namespace vellick {

FreedesktopFileManager::FreedesktopFileManager(Launcher& fallback)
    : m_fallback(fallback)
    , m_pending(std::make_unique<QObject>())
{
}

FreedesktopFileManager::~FreedesktopFileManager() = default;

void FreedesktopFileManager::showItem(const std::string& path, std::function<void(const ShellResult&)> done)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done(openFolder(path, "no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    // The URI is ASCII whatever the name's bytes are.
    call << QStringList { QString::fromLatin1(fileUri(path)) } << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerTimeoutMs), m_pending.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_pending.get(),
        [this, path, done = std::move(done)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<> reply = *finished;
            if (reply.isError())
                done(openFolder(path, reply.error().message().toStdString()));
            else
                done(ShellResult::done());
        });
}

ShellResult FreedesktopFileManager::openFolder(const std::string& path, const std::string& why)
{
    // Found files have absolute paths, so the folder is never empty.
    const ShellResult opened = m_fallback.openWithAssociation(folderOfPath(path));
    if (opened.ok())
        return opened;
    std::string text = "No file manager answered (";
    text.append(why).append(") and the folder cannot be opened: ").append(opened.reason);
    return ShellResult::failed(std::move(text));
}

} // namespace vellick
