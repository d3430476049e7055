#include "platform/FileTimes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/FileSystemKind.h"
#include "platform/FileTime.h"
#include "res/LoadString.h"

namespace {

const char* creationTimeAttribute(FileSystemKind kind) {
    return kind == FileSystemKind::Ntfs  ? "system.ntfs_crtime"
           : kind == FileSystemKind::Smb ? "user.cifs.creationtime"
                                         : nullptr;
}

FILETIME fromStatx(const statx_timestamp& t) {
    FILETIME ft;
    if (!fileTimeFromUnix(t.tv_sec, static_cast<long>(t.tv_nsec), ft)) ft = {};
    return ft;
}

OpResult writeCreationTime(const std::string& path, const char* attribute, const FILETIME& ft) {
    const std::uint64_t t = ft.ticks();
    unsigned char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(t >> (8 * i));
    if (lsetxattr(path.c_str(), attribute, b, sizeof b, 0) == 0) return {};
    if (errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENODATA)
        return OpResult::withText(ERROR_NOT_SUPPORTED, LoadString(33102));
    return OpResult::fromErrno(errno);
}

} // namespace

OpResult readFileTimes(const std::string& path, FileTimes& times) {
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
              STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return OpResult::fromErrno(errno);
    times.creation = (sx.stx_mask & STATX_BTIME) ? fromStatx(sx.stx_btime) : FILETIME{};
    times.lastAccess = fromStatx(sx.stx_atime);
    times.lastWrite = fromStatx(sx.stx_mtime);
    return {};
}

OpResult readExactFileTimes(const std::string& path, ExactFileTimes& times) {
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return OpResult::fromErrno(errno);
    times.creation = (sx.stx_mask & STATX_BTIME) ? fromStatx(sx.stx_btime) : FILETIME{};
    times.lastAccess = {static_cast<time_t>(sx.stx_atime.tv_sec), static_cast<long>(sx.stx_atime.tv_nsec)};
    times.lastWrite = {static_cast<time_t>(sx.stx_mtime.tv_sec), static_cast<long>(sx.stx_mtime.tv_nsec)};
    return {};
}

OpResult setFileTimes(const std::string& path, const FILETIME* creation, const FILETIME* lastAccess,
                      const FILETIME* lastWrite) {
    const timespec access = lastAccess ? unixFromFileTime(*lastAccess) : timespec{};
    const timespec write = lastWrite ? unixFromFileTime(*lastWrite) : timespec{};
    return setExactFileTimes(path, creation, lastAccess ? &access : nullptr, lastWrite ? &write : nullptr);
}

OpResult setExactFileTimes(const std::string& path, const FILETIME* creation, const timespec* lastAccess,
                           const timespec* lastWrite) {
    const char* crtime = nullptr;
    ExactFileTimes before;
    if (creation) {
        crtime = creationTimeAttribute(fileSystemKindOfPath(path));
        if (!crtime) return OpResult::withText(ERROR_NOT_SUPPORTED, LoadString(33102));
        if (OpResult r = readExactFileTimes(path, before); !r.ok()) return r;
    }
    timespec ts[2];
    ts[0] = lastAccess ? *lastAccess : timespec{0, UTIME_OMIT};
    ts[1] = lastWrite ? *lastWrite : timespec{0, UTIME_OMIT};
    if ((lastAccess || lastWrite) && utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW) != 0)
        return OpResult::fromErrno(errno);
    if (creation) {
        if (OpResult r = writeCreationTime(path, crtime, *creation); !r.ok()) {
            // Put the other two back, so that a failure changes nothing.
            timespec old[2] = {before.lastAccess, before.lastWrite};
            if (lastAccess || lastWrite) utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW);
            return r;
        }
    }
    return {};
}
