#include "platform/Rename.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
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

bool renameNoReplaceRaw(const std::string& from, const std::string& to) {
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

// The second mechanism: a hard link never replaces an existing name.
bool linkThenUnlink(const std::string& from, const std::string& to) {
    if (linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) return false;
    if (unlink(from.c_str()) == 0) return true;
    const int err = errno;
    unlink(to.c_str()); // leave things as they were
    errno = err;
    return false;
}

// A case-only rename where the file system sees both names as one file.
bool renameCaseOnly(const std::string& from, const std::string& to) {
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".orvane-%08x.tmp", static_cast<unsigned>(rd()));
        const std::string temp = folderOf(to) + "/" + nameOf(to) + suffix;
        if (!renameNoReplaceRaw(from, temp)) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (renameNoReplaceRaw(temp, to) && listedExactly(to)) return true;
        const int err = errno ? errno : EIO;
        renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, from.c_str(), RENAME_NOREPLACE);
        errno = err;
        return false;
    }
    errno = EEXIST;
    return false;
}

} // namespace

OpResult renameNoReplace(const std::string& from, const std::string& to) {
    if (renameNoReplaceRaw(from, to)) return {};
    const int first = errno;
    if (first == ENOENT) {
        // The file is gone (2), or the folder is (3).
        struct stat st {};
        return {stat(folderOf(from).c_str(), &st) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, {}};
    }
    if (first == ENOTDIR) return {ERROR_PATH_NOT_FOUND, {}};
    if (first == EEXIST) {
        if (differOnlyInCase(nameOf(from), nameOf(to)) && sameFile(from, to) && renameCaseOnly(from, to))
            return {};
        return OpResult::fromErrno(first);
    }
    if (first == EINVAL || first == ENOSYS || first == ENOTSUP || first == EOPNOTSUPP) {
        if (linkThenUnlink(from, to)) return {};
        // An existing target is what the user must hear about, not the refused flag.
        if (errno == EEXIST) return OpResult::fromErrno(EEXIST);
    }
    return OpResult::fromErrno(first);
}
