#include "ui/shell/TrashOperation.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

#include "core/messages/Messages.h"
#include "core/shell/ShellSelection.h"
#include "core/shell/TrashAvailability.h"
#include "platform/errors.h"
#include "res/Format.h"

namespace {

constexpr unsigned IDS_MORE_FAILED = 33401;
constexpr unsigned IDS_DELETE_ONE = 33402, IDS_DELETE_MANY = 33403;
constexpr unsigned IDS_NO_TRASH_ONE = 33404, IDS_NO_TRASH_MANY = 33405;

std::string reasonOf(int err) {
    return FormatSystemError(winErrorFromErrno(err));
}

// Deletes for good; gives the failure message, or empty.
std::string unlinkFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? std::string() : FileOperationFailed(path, reasonOf(errno));
}

std::string trashFile(const std::string& path) {
    const QString name = QString::fromStdString(path);
    // Qt takes paths as text: a name that is not UTF-8 would reach the trash as another name.
    if (name.toStdString() != path)
        return FileOperationFailed(path, FormatSystemError(ERROR_INVALID_NAME));
    errno = 0;
    if (QFile::moveToTrash(name)) return {};
    int err = errno;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) err = errno;
    return FileOperationFailed(path, reasonOf(err != 0 ? err : EACCES));
}

bool confirm(unsigned oneId, unsigned manyId, const std::vector<std::string>& paths) {
    const std::string text =
        paths.size() == 1 ? FormatId(oneId, {paths.front()}) : FormatId(manyId, {paths.size()});
    return GetMessagePresenter()->show(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, 0) == IDYES;
}

} // namespace

void ReportFileFailures(const std::vector<std::string>& failures) {
    if (failures.empty()) return;
    std::string text = failures.front();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (failures.size() > 1) text += "\n\n" + FormatId(IDS_MORE_FAILED, {failures.size() - 1});
    GetMessagePresenter()->show(text, MB_OK | MB_ICONSTOP, 0);
}

ShellOutcome TrashOperation::deleteForGood(const std::vector<std::string>& paths) {
    if (paths.empty()) return ShellOutcome::Done;
    if (!confirm(IDS_DELETE_ONE, IDS_DELETE_MANY, paths)) return ShellOutcome::Cancelled;
    std::vector<std::string> failures;
    for (const std::string& p : paths)
        if (std::string f = unlinkFile(p); !f.empty()) failures.push_back(std::move(f));
    ReportFileFailures(failures);
    return failures.empty() ? ShellOutcome::Done : ShellOutcome::Failed;
}

ShellOutcome TrashOperation::moveToTrash(const std::vector<std::string>& paths) {
    // Without a home trash no file can be trashed safely.
    const bool homeTrash = EnsureHomeTrash();
    std::vector<std::string> trashable, homeless;
    for (const std::string& p : paths)
        (homeTrash && HasTrash(p) ? trashable : homeless).push_back(p);
    bool deleteHomeless = false;
    if (!homeless.empty()) {
        const std::string text = homeless.size() == 1
                                     ? FormatId(IDS_NO_TRASH_ONE, {homeless.front()})
                                     : FormatId(IDS_NO_TRASH_MANY, {homeless.size()});
        // Yes deletes them for good, No leaves them and trashes the others, Cancel does nothing.
        const int answer =
            GetMessagePresenter()->show(text, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, 0);
        if (answer != IDYES && answer != IDNO) return ShellOutcome::Cancelled;
        deleteHomeless = answer == IDYES;
    }
    const std::unordered_set<std::string> noTrash(homeless.begin(), homeless.end());
    std::vector<std::string> failures;
    for (const std::string& p : paths) {
        const bool forGood = noTrash.count(p) > 0;
        if (forGood && !deleteHomeless) continue;
        if (std::string f = forGood ? unlinkFile(p) : trashFile(p); !f.empty())
            failures.push_back(std::move(f));
    }
    ReportFileFailures(failures);
    return failures.empty() ? ShellOutcome::Done : ShellOutcome::Failed;
}
