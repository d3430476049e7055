#include "platform/FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace {

constexpr unsigned long kFuseMagic = 0x65735546UL;

bool equal(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

timespec fromStatx(const statx_timestamp& t) { return {static_cast<time_t>(t.tv_sec), static_cast<long>(t.tv_nsec)}; }

} // namespace

FileIdentity identityOf(const std::string& path) {
    FileIdentity id;
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return id;
    id.known = true;
    id.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    id.inode = sx.stx_ino;
    id.size = static_cast<std::int64_t>(sx.stx_size);
    id.modified = fromStatx(sx.stx_mtime);
    id.hasBirth = sx.stx_mask & STATX_BTIME;
    if (id.hasBirth) id.birth = fromStatx(sx.stx_btime);
    // One file system answers for all its files: asked again only when the device changes.
    static thread_local std::uint64_t lastDevice = ~0ULL;
    static thread_local bool lastStable = true;
    if (id.device != lastDevice) {
        struct statfs fs {};
        lastStable = statfs(path.c_str(), &fs) != 0 || static_cast<unsigned long>(fs.f_type) != kFuseMagic;
        lastDevice = id.device;
    }
    id.stableInode = lastStable;
    return id;
}

bool sameFile(const FileIdentity& recorded, const FileIdentity& now) {
    if (!recorded.known) return true;
    if (!now.known || recorded.device != now.device) return false;
    if (!recorded.stableInode) return recorded.size == now.size && equal(recorded.modified, now.modified);
    if (recorded.inode != now.inode) return false;
    return !recorded.hasBirth || !now.hasBirth || equal(recorded.birth, now.birth);
}
