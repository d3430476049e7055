#include "ui/frame/CVNWinApp.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/WinTypes.h"

CVNWinApp::CVNWinApp() = default;

CVNWinApp::~CVNWinApp() {
    if (markerFd_ >= 0) ::close(markerFd_); // releases the lock; the file stays for others
}

bool CVNWinApp::InitApplication(const VersionResource& resource) {
    const QString exe = QCoreApplication::applicationFilePath();
    if (exe.isEmpty()) {
        lastError_ = ERROR_FILE_NOT_FOUND;
        return false;
    }
    exeName_ = QFileInfo(exe).fileName().toUpper().toStdString();
    markRunning();
    if (!version_.Read(resource)) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    SetCurrentHelpTipMode(0);
    InstallContextHelp();
    appInfo_.SetRegistryKey(version_.companyName);
    return true;
}

void CVNWinApp::markRunning() {
    // Every instance holds a shared lock on the same file, so a tool that asks for an exclusive
    // lock learns whether any instance runs. A second instance starts normally.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || markerFd_ >= 0) return;
    markerPath_ =
        (dir + QLatin1Char('/') + QString::fromStdString(exeName_)).toStdString() + ".lock";
    markerFd_ = ::open(markerPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (markerFd_ >= 0) (void)::flock(markerFd_, LOCK_SH | LOCK_NB);
}

void CVNWinApp::SetHelpTipMode(int mode, QWidget* mainWindow) {
    SetCurrentHelpTipMode(mode);
    if (!mainWindow) return;
    HelpTipModeEvent toMain(CurrentHelpTipMode());
    QCoreApplication::sendEvent(mainWindow, &toMain);
    for (QWidget* w : mainWindow->findChildren<QWidget*>()) {
        HelpTipModeEvent e(CurrentHelpTipMode());
        QCoreApplication::sendEvent(w, &e);
    }
}
