#include "platform/DirectoryReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/FileAttributes.h"
#include "platform/FileTime.h"
#include "platform/ThreadShares.h"
#include "platform/errors.h"

namespace {

FILETIME fromStatx(const statx_timestamp& t) {
    FILETIME ft;
    if (!fileTimeFromUnix(t.tv_sec, static_cast<long>(t.tv_nsec), ft)) ft = {};
    return ft;
}

unsigned long long devOf(const struct statx& sx) {
    return makedev(sx.stx_dev_major, sx.stx_dev_minor);
}

} // namespace

bool DirectoryReader::open(const std::string& folder) {
    close();
    error_ = 0;
    const std::string path = folder.empty() ? std::string(".") : folder;
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno == ENOENT ? ERROR_PATH_NOT_FOUND : winErrorFromErrno(errno);
        return false;
    }
    dir_ = fdopendir(fd_);
    if (!dir_) {
        error_ = winErrorFromErrno(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    prefix_ = path;
    if (prefix_.back() != '/') prefix_ += '/';
    kind_ = fileSystemKindOf(fd_);
    struct statx sx {};
    dev_ = statx(fd_, "", AT_EMPTY_PATH, STATX_TYPE, &sx) == 0 ? devOf(sx) : 0;
    askStored_ = true;
    return true;
}

void DirectoryReader::close() {
    if (dir_) closedir(dir_); // closes fd_ too
    dir_ = nullptr;
    fd_ = -1;
}

bool DirectoryReader::next(FindData& entry) {
    if (!dir_) return false;
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir_);
        if (!d) {
            error_ = errno ? winErrorFromErrno(errno) : 0;
            return false;
        }
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        if (accept_ && !accept_(name, d->d_type)) continue;
        if (take(name, d->d_type, entry)) return true;
    }
}

bool DirectoryReader::nextBatch(std::vector<FindData>& entries, std::size_t max) {
    if (!dir_) return false;
    std::vector<std::string> names;
    std::vector<unsigned char> types;
    while (names.size() < max) {
        errno = 0;
        const dirent* d = readdir(dir_);
        if (!d) {
            error_ = errno ? winErrorFromErrno(errno) : 0;
            break;
        }
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        if (accept_ && !accept_(name, d->d_type)) continue;
        names.emplace_back(name);
        types.push_back(d->d_type);
    }
    if (names.empty()) return false;
    std::vector<FindData> found(names.size());
    std::vector<char> ok(names.size(), 0);
    const auto examineRange = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) ok[i] = take(names[i].c_str(), types[i], found[i]);
    };
    ShareOutOnThreads(names.size(), 512, examineRange); // a few hundred entries are not worth a thread
    for (std::size_t i = 0; i < found.size(); ++i)
        if (ok[i]) entries.push_back(std::move(found[i]));
    return true;
}

bool DirectoryReader::take(const char* name, unsigned char type, FindData& entry) {
    if (!namesOnly_ || type != DT_REG) return examine(name, entry);
    entry.name.assign(name);
    entry.attributes = attributesFrom(S_IFREG | 0600, entry.name, {});
    if (entry.attributes == 0) entry.attributes = FILE_ATTRIBUTE_NORMAL;
    return true;
}

bool DirectoryReader::examine(const char* name, FindData& entry) {
    struct statx sx {};
    constexpr unsigned mask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (statx(fd_, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &sx) != 0)
        return false; // vanished, or not ours to see: nothing to list

    entry.name.assign(name);
    entry.size = sx.stx_size;
    entry.device = devOf(sx);
    entry.inode = sx.stx_ino;
    entry.creationTime = (sx.stx_mask & STATX_BTIME) ? fromStatx(sx.stx_btime) : FILETIME{};
    entry.lastWriteTime = fromStatx(sx.stx_mtime);
    entry.lastAccessTime = fromStatx(sx.stx_atime);

    const mode_t mode = sx.stx_mode;
    StoredAttributes stored;
    if (askStored_ && storedWanted_ && !S_ISLNK(mode)) {
        errno = 0;
        stored = readStoredAttributesAt(fd_, name, prefix_ + name, kind_);
        // Most folders live on one file system; stop asking where it keeps no attributes.
        if (!stored.native && stored.bits == 0 && (errno == ENOTSUP || errno == EOPNOTSUPP))
            askStored_ = false;
    }
    entry.attributes = attributesFrom(mode, entry.name, stored);

    if (S_ISDIR(mode)) {
        entry.attributes |= FILE_ATTRIBUTE_DIRECTORY;
        if (devOf(sx) != dev_) {
            int sub = openat(fd_, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
            if (sub >= 0) {
                if (fileSystemKindOf(sub) == FileSystemKind::Pseudo)
                    entry.attributes |= FILE_ATTRIBUTE_SYSTEM;
                ::close(sub);
            }
        }
    } else if (S_ISLNK(mode)) {
        struct stat target {};
        if (fstatat(fd_, name, &target, 0) == 0 && S_ISDIR(target.st_mode))
            entry.attributes |= FILE_ATTRIBUTE_TEMPORARY; // never follow a link into a folder
    } else if (!S_ISREG(mode)) {
        entry.attributes |= FILE_ATTRIBUTE_TEMPORARY;
    }
    if (entry.attributes == 0) entry.attributes = FILE_ATTRIBUTE_NORMAL;
    return true;
}
