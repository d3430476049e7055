#pragma once

// The application base: what the program knows about itself (version, vendor, executable
// name), the marker that shows the program runs, and the help-tip mode shared by all windows.

#include <QObject>
#include <cstdint>
#include <string>

#include "core/settings/CVNAppInfo.h"
#include "core/settings/CVNVersionInfo.h"
#include "ui/help/ContextHelp.h"

class QWidget;

class CVNWinApp : public QObject {
    Q_OBJECT
public:
    CVNWinApp();
    ~CVNWinApp() override;

    // Reads the version information, takes the executable's name and sets the registry key to
    // the vendor name. False on failure, with the reason in lastError().
    bool InitApplication(const VersionResource& resource = VersionResource::Own());

    CVNAppInfo& appInfo() { return appInfo_; }
    const CVNAppInfo& appInfo() const { return appInfo_; }
    const CVNVersionInfo& versionInfo() const { return version_; }
    // The executable's file name in upper case.
    const std::string& exeName() const { return exeName_; }
    std::uint32_t lastError() const { return lastError_; }
    // The file that is locked while the program runs, for outside tools such as an installer.
    const std::string& runningMarker() const { return markerPath_; }

    // The help-tip mode (HelpTipModeBits) that every window follows.
    int helpTipMode() const { return CurrentHelpTipMode(); }
    // Keeps mode & 7 and, when a main window is given, announces it to it and every window
    // below it.
    void SetHelpTipMode(int mode, QWidget* mainWindow = nullptr);

protected:
    CVNAppInfo appInfo_;

private:
    void markRunning();

    CVNVersionInfo version_;
    std::string exeName_;
    std::string markerPath_;
    int markerFd_ = -1;
    std::uint32_t lastError_ = 0;
};
