#include "ui/shell/FileOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "core/messages/Messages.h"
#include "core/shell/FileMimeData.h"
#include "core/shell/ShellSelection.h"
#include "res/Format.h"
#include "res/LoadString.h"

namespace {

constexpr unsigned IDS_OPEN_MANY = 33406, IDS_NOT_STARTED = 33407;

bool mayOpen(const std::vector<std::string>& paths) {
    return paths.size() <= FileOpener::kAskAbove ||
           GetMessagePresenter()->show(FormatId(IDS_OPEN_MANY, {paths.size()}),
                                       MB_YESNO | MB_ICONQUESTION, 0) == IDYES;
}

} // namespace

ShellOutcome FileOpener::open(const std::vector<std::string>& paths) {
    if (!mayOpen(paths)) return ShellOutcome::Cancelled;
    std::vector<std::string> failures;
    for (const std::string& p : paths)
        if (!QDesktopServices::openUrl(QUrl::fromEncoded(FileUri(p))))
            failures.push_back(FileOperationFailed(p, LoadString(IDS_NOT_STARTED)));
    ReportFileFailures(failures);
    return failures.empty() ? ShellOutcome::Done : ShellOutcome::Failed;
}

ShellOutcome FileOpener::openWith(const DesktopApplication& app,
                                  const std::vector<std::string>& paths,
                                  const std::string& workingFolder) {
    if (paths.empty() || !mayOpen(paths))
        return paths.empty() ? ShellOutcome::Done : ShellOutcome::Cancelled;
    const std::vector<QStringList> commands = LaunchCommands(app, paths);
    std::vector<std::string> failures;
    if (commands.empty())
        failures.push_back(FileOperationFailed(paths.front(), LoadString(IDS_NOT_STARTED)));
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const QStringList& c = commands[i];
        if (!QProcess::startDetached(c.front(), c.mid(1), QString::fromStdString(workingFolder)))
            failures.push_back(
                FileOperationFailed(commands.size() == paths.size() ? paths[i] : paths.front(),
                                    LoadString(IDS_NOT_STARTED)));
    }
    ReportFileFailures(failures);
    return failures.empty() ? ShellOutcome::Done : ShellOutcome::Failed;
}
