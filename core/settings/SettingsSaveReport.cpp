#include "core/settings/SettingsSaveReport.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "core/messages/Messages.h"
#include "platform/RegistryFile.h"
#include "platform/errors.h"
#include "res/Format.h"

namespace {

const unsigned IDS_LOCK_HELD = 33212;
const unsigned IDS_FOLDER_READ_ONLY = 33213;

std::string reason(const SettingsSaveResult& result) {
    if (result.error == ERROR_LOCK_VIOLATION)
        return FormatId(IDS_LOCK_HELD, {HiveLockPath(result.file), kHiveLockWaitMs / 1000});
    if (result.error == ERROR_ACCESS_DENIED) {
        // The usual cause, and one the user can mend: say which folder.
        const QString folder = QFileInfo(QFile::decodeName(result.file.c_str())).absolutePath();
        const QByteArray native = QFile::encodeName(folder);
        if (QFileInfo(folder).isDir() &&
            faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
            return FormatId(IDS_FOLDER_READ_ONLY, {native.toStdString()});
    }
    return FormatSystemError(result.error);
}

} // namespace

std::string SettingsNotSavedText(unsigned whatId, const SettingsSaveResult& result) {
    return FormatId(whatId, {result.file, reason(result)});
}

void ReportSettingsNotSaved(unsigned whatId, const SettingsSaveResult& result) {
    if (result.ok()) return;
    GetMessagePresenter()->show(SettingsNotSavedText(whatId, result), MB_OK | MB_ICONWARNING, 0);
}
