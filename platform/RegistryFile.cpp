#include "platform/RegistryFile.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include "platform/Rename.h"
#include "platform/WinTypes.h"

namespace {

const char kHiveInFolder[] = "/Orvane/Orvane.reg";

// Holding the lock takes milliseconds. A lock whose owner cannot be told (it died before it
// wrote its name, or runs on another machine sharing the home folder) counts as left behind once
// it is this old; a dead owner on this machine is noticed at once. QLockFile removes a lock left
// behind only when it gets the file's native lock, which a live owner keeps, so a live instance
// never loses its lock however long it holds it. Shorter than kHiveLockWaitMs, so that a writer
// waiting for a lock left behind takes it over.
constexpr int kStaleLockMs = 2000;
static_assert(kStaleLockMs < kHiveLockWaitMs);

// QLockFile's own wait sleeps ever longer between its attempts (0.1 s, 0.2 s, 0.4 s, ...), so a
// program that writes often could hold the lock at each of the few attempts another makes
// within the bound. Short, slightly random pauses give every waiter its turn.
bool takeLock(QLockFile& lock, int waitMs) {
    QElapsedTimer clock;
    clock.start();
    std::minstd_rand jitter(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(&lock)) ^
                            static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
    for (;;) {
        if (lock.tryLock(0)) return true;
        if (lock.error() != QLockFile::LockFailedError || clock.elapsed() >= waitMs) return false;
        QThread::msleep(5 + jitter() % 16);
    }
}

// Identifies one state of the file: a replacement gets a new inode, an edit in place a new
// time or size.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;

    explicit FileId(const struct stat& st)
        : dev(st.st_dev), ino(st.st_ino), size(st.st_size), mtimeSec(st.st_mtim.tv_sec),
          mtimeNsec(st.st_mtim.tv_nsec), ctimeSec(st.st_ctim.tv_sec),
          ctimeNsec(st.st_ctim.tv_nsec) {}
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct CacheEntry {
    FileId id;
    HiveSnapshot snapshot;
};

std::mutex cacheMutex;
std::map<std::string, CacheEntry> cache;

HiveSnapshot snapshotOf(HiveState state, std::shared_ptr<const RegKey> root = nullptr) {
    return {state, root ? std::move(root) : std::make_shared<const RegKey>()};
}

void remember(const std::string& path, const FileId& id, const HiveSnapshot& snapshot) {
    std::lock_guard<std::mutex> guard(cacheMutex);
    cache.insert_or_assign(path, CacheEntry{id, snapshot});
}

HiveSnapshot load(const std::string& path, bool useCache) {
    if (path.empty()) return snapshotOf(HiveState::Missing);
    // O_NONBLOCK so that a pipe put in the file's place cannot hang the program.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return snapshotOf(errno == ENOENT || errno == ENOTDIR ? HiveState::Missing
                                                              : HiveState::Damaged);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return snapshotOf(HiveState::Damaged);
    }
    const FileId id(st);
    if (useCache) {
        std::lock_guard<std::mutex> guard(cacheMutex);
        auto it = cache.find(path);
        if (it != cache.end() && it->second.id == id) {
            close(fd);
            return it->second.snapshot;
        }
    }
    std::string text;
    char buf[65536];
    bool readOk = true;
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            readOk = false;
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    HiveSnapshot snapshot = snapshotOf(HiveState::Damaged);
    if (readOk) {
        if (auto tree = ParseHive(text))
            snapshot = snapshotOf(HiveState::Ok, std::make_shared<const RegKey>(std::move(*tree)));
    }
    remember(path, id, snapshot);
    return snapshot;
}

// Renames a damaged file to a name of its own, never over an earlier kept copy.
std::uint32_t keepAside(const std::string& path) {
    const std::string base =
        path + ".damaged-" +
        QLocale::c().toString(QDateTime::currentDateTime(), u"yyyyMMdd-HHmmss").toStdString();
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        const OpResult r = renameNoReplace(path, target);
        if (r.ok()) return ERROR_SUCCESS;
        if (r.code != ERROR_FILE_EXISTS && r.code != ERROR_ALREADY_EXISTS)
            return r.code ? r.code : ERROR_ACCESS_DENIED;
    }
    return ERROR_FILE_EXISTS;
}

std::uint32_t write(const std::string& path, const RegKey& tree) {
    QSaveFile out(QFile::decodeName(path.c_str()));
    if (!out.open(QIODevice::WriteOnly)) return ERROR_ACCESS_DENIED;
    const std::string text = FormatHive(tree);
    if (out.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !out.commit())
        return ERROR_IO_DEVICE; // the old file is untouched
    return ERROR_SUCCESS;
}

} // namespace

std::string UserHivePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty()) return {};
    return QFile::encodeName(dir + QLatin1String(kHiveInFolder)).toStdString();
}

std::string MachineHivePath() {
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        if (dir == user) continue;
        const QString path = dir + QLatin1String(kHiveInFolder);
        if (QFileInfo::exists(path)) return QFile::encodeName(path).toStdString();
    }
    return {};
}

std::string HiveLockPath(const std::string& hivePath) {
    return hivePath + ".lock";
}

HiveSnapshot ReadHive(const std::string& path) {
    return load(path, true);
}

std::uint32_t UpdateHive(const std::string& path,
                         const std::function<std::uint32_t(RegKey&)>& change) {
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    const QString qpath = QFile::decodeName(path.c_str());
    if (!QDir().mkpath(QFileInfo(qpath).absolutePath())) return ERROR_PATH_NOT_FOUND;

    QLockFile lock(QFile::decodeName(HiveLockPath(path).c_str()));
    lock.setStaleLockTime(kStaleLockMs);
    if (!takeLock(lock, kHiveLockWaitMs)) {
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            return ERROR_LOCK_VIOLATION;
        case QLockFile::PermissionError:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_IO_DEVICE; // the lock file could not be written, e.g. a full disk
        }
    }

    // Read afresh under the lock: another instance may have written since our last look.
    const HiveSnapshot now = load(path, false);
    RegKey tree = now.state == HiveState::Ok ? *now.root : RegKey();
    if (const std::uint32_t rc = change(tree)) return rc;
    // Saving settings that did not change (lists at exit, options) costs no write.
    if (now.state == HiveState::Ok && tree == *now.root) return ERROR_SUCCESS;
    if (now.state == HiveState::Damaged)
        if (const std::uint32_t rc = keepAside(path)) return rc;
    if (const std::uint32_t rc = write(path, tree)) return rc;

    // Still under the lock, so the file on disk is the one just written.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        remember(path, FileId(st),
                 snapshotOf(HiveState::Ok, std::make_shared<const RegKey>(std::move(tree))));
    return ERROR_SUCCESS;
}
