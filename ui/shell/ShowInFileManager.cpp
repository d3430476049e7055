#include "ui/shell/ShowInFileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include "core/shell/FileMimeData.h"
#include "core/shell/ShellSelection.h"
#include "res/LoadString.h"
#include "ui/shell/TrashOperation.h"

namespace {

constexpr unsigned IDS_NOT_STARTED = 33407;

void openFolder(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!QDesktopServices::openUrl(QUrl::fromEncoded(FileUri(folder))))
        ReportFileFailures({FileOperationFailed(folder, LoadString(IDS_NOT_STARTED))});
}

} // namespace

void ShowInFileManager(const std::vector<std::string>& paths, const std::string& commonFolder) {
    if (paths.empty()) return;
    // Files in several folders have a common folder above them; one folder is the files' own.
    const std::string folder = commonFolder.empty() ? std::string("/") : commonFolder;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return openFolder(folder);
    QStringList uris;
    for (const std::string& p : paths)
        uris << QString::fromLatin1(FileUri(p));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    // Asked without waiting: a file manager that starts first must not freeze the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, folder] {
        if (watcher->isError()) openFolder(folder);
        watcher->deleteLater();
    });
}
