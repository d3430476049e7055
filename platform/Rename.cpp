#include "platform/Rename.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>

#include "platform/NameRules.h"

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool differOnlyInCase(const std::string& a, const std::string& b) {
    return a != b && QString::fromUtf8(a).toCaseFolded() == QString::fromUtf8(b).toCaseFolded();
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string nameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the folder lists an entry with exactly this name, byte for byte.
bool listedExactly(const std::string& path) {
    DIR* d = opendir(folderOf(path).c_str());
    if (!d) return false;
    const std::string name = nameOf(path);
    bool found = false;
    while (const dirent* e = readdir(d))
        if (name == e->d_name) {
            found = true;
            break;
        }
    closedir(d);
    return found;
}

bool refusedFlag(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

// Where the file system refuses hard links too (FUSE mounts, shared folders of virtual
// machines, many cloud mounts): the new name is first taken by an empty placeholder of our
// own, created exclusively, so that nobody else's file can be there, and the rename then
// replaces only that placeholder.
bool renameOntoPlaceholder(const std::string& from, const std::string& to) {
    const int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat mine {};
    const bool known = fstat(fd, &mine) == 0;
    close(fd);
    // Just before the rename: the name must still hold our empty placeholder.
    struct stat now {};
    if (!known || lstat(to.c_str(), &now) != 0 || now.st_dev != mine.st_dev ||
        now.st_ino != mine.st_ino || now.st_size != 0) {
        errno = EEXIST;
        return false;
    }
    const bool renamed = rename(from.c_str(), to.c_str()) == 0;
    if (renamed && !exists(from) && exists(to)) return true;
    const int err = errno ? errno : EIO;
    // Remove the placeholder only if it is still ours and the file did not arrive: a refused
    // rename moved nothing (also when the file itself vanished meanwhile); after a claimed
    // success that did not show, only the file still at its old name proves it.
    if ((!renamed || exists(from)) && lstat(to.c_str(), &now) == 0 && now.st_dev == mine.st_dev &&
        now.st_ino == mine.st_ino && now.st_size == 0)
        unlink(to.c_str());
    errno = err;
    return false;
}

// Renames without ever replacing: renameat2 with RENAME_NOREPLACE, then a hard link, then a
// placeholder, each tried where the file system refused the one before. errno tells why the
// first way failed (or EEXIST whenever the target exists).
bool renameChain(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    const int first = errno;
    if (!refusedFlag(first)) return false;
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) == 0) {
        if (unlink(from.c_str()) == 0) return true;
        const int err = errno;
        unlink(to.c_str()); // leave things as they were
        errno = err;
        return false;
    }
    if (errno == EEXIST) return false;
    if (renameOntoPlaceholder(from, to)) return true;
    // The last way's reason, unless it too only refused the method.
    if (refusedFlag(errno)) errno = first;
    return false;
}

// A case-only rename where the file system sees both names as one file: through a unique
// temporary name, checked afterwards.
bool renameCaseOnly(const std::string& from, const std::string& to) {
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".orvane-%08x.tmp", static_cast<unsigned>(rd()));
        const std::string temp = folderOf(to) + "/" + nameOf(to) + suffix;
        if (!renameChain(from, temp)) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (renameChain(temp, to) && listedExactly(to)) return true;
        const int err = errno ? errno : EIO;
        if (exists(temp)) renameChain(temp, from);
        errno = err;
        return false;
    }
    errno = EEXIST;
    return false;
}

} // namespace

OpResult renameNoReplace(const std::string& from, const std::string& to) {
    if (renameChain(from, to)) return {};
    const int first = errno;
    if (first == ENOENT) {
        // The file is gone (2), or the folder is (3).
        struct stat st {};
        return {stat(folderOf(from).c_str(), &st) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, {}};
    }
    if (first == ENOTDIR) return {ERROR_PATH_NOT_FOUND, {}};
    // Where names that differ only in case name one file, the "existing" target is the file
    // itself. Some FUSE drivers number a file anew at each lookup, so the rules count too.
    if (first == EEXIST && differOnlyInCase(nameOf(from), nameOf(to)) &&
        (sameFile(from, to) || nameRulesOf(folderOf(to)).caseInsensitive)) {
        if (renameCaseOnly(from, to)) return {};
        return OpResult::fromErrno(errno);
    }
    return OpResult::fromErrno(first);
}

OpResult renameNoReplaceAt(int folderFd, const std::string& folder, const std::string& from, const std::string& to) {
    if (folderFd >= 0 && renameat2(folderFd, from.c_str(), folderFd, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    return renameNoReplace(folder + from, folder + to); // a failed renameat2 changed nothing
}
