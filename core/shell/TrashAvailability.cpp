#include "core/shell/TrashAvailability.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The device of path or, while it does not exist yet, of the nearest folder above it.
bool deviceOfNearest(std::string path, dev_t& device) {
    struct stat st {};
    while (lstat(path.c_str(), &st) != 0) {
        if (path == "/" || path.empty()) return false;
        path = parentOf(path);
    }
    device = st.st_dev;
    return true;
}

// The top folder of the file system that holds folder: the last folder upwards on its device.
std::string topFolder(std::string folder, dev_t device) {
    while (folder != "/") {
        const std::string up = parentOf(folder);
        struct stat st {};
        if (stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        folder = up;
    }
    return folder;
}

bool isOwnFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

bool present(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool writableFolder(const std::string& path) {
    return access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace

namespace {

QString homeTrash() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash");
}

} // namespace

bool EnsureHomeTrash() {
    const QString trash = homeTrash();
    if (!QDir::isAbsolutePath(trash)) return false;
    struct stat st {};
    if (stat(QFile::encodeName(trash).constData(), &st) != 0 && QDir().mkpath(trash))
        QFile::setPermissions(trash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return stat(QFile::encodeName(trash).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasTrash(const std::string& path) {
    struct stat file {};
    if (lstat(path.c_str(), &file) != 0) return true; // the operation itself reports a missing file
    struct statvfs fs {};
    if (statvfs(parentOf(path).c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY)) return false;

    const std::string home = homeTrash().toStdString();
    dev_t homeDevice = 0;
    if (home.front() == '/' && deviceOfNearest(home, homeDevice) && homeDevice == file.st_dev)
        return true;

    const std::string top = topFolder(parentOf(path), file.st_dev);
    const std::string prefix = top == "/" ? "" : top;
    const std::string uid = std::to_string(getuid());
    struct stat shared {};
    const std::string dotTrash = prefix + "/.Trash";
    if (lstat(dotTrash.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX)) {
        const std::string own = dotTrash + "/" + uid;
        if (isOwnFolder(own) || (!present(own) && writableFolder(dotTrash))) return true;
    }
    const std::string own = prefix + "/.Trash-" + uid;
    return isOwnFolder(own) || (!present(own) && writableFolder(top));
}
