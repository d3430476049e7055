#include "platform/FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include "platform/FileTime.h"

namespace {

constexpr unsigned long kFuseMagic = 0x65735546UL;

std::uint64_t ticks(const statx_timestamp& t) {
    FILETIME ft;
    return fileTimeFromUnix(t.tv_sec, static_cast<long>(t.tv_nsec), ft) ? ft.ticks() : 0;
}

// One file system answers for all its files: asked again only when the device changes.
bool stableInodes(std::uint64_t device, const std::string& anyPathOnIt) {
    static thread_local std::uint64_t lastDevice = ~0ULL;
    static thread_local bool lastStable = true;
    if (device != lastDevice) {
        struct statfs fs {};
        lastStable = statfs(anyPathOnIt.c_str(), &fs) != 0 || static_cast<unsigned long>(fs.f_type) != kFuseMagic;
        lastDevice = device;
    }
    return lastStable;
}

} // namespace

FileIdentity identityOf(const std::string& path) {
    FileIdentity id;
    struct statx sx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return id;
    id.known = true;
    id.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    id.inode = sx.stx_ino;
    id.size = sx.stx_size;
    id.modified = ticks(sx.stx_mtime);
    if (sx.stx_mask & STATX_BTIME) id.birth = ticks(sx.stx_btime);
    id.stableInode = stableInodes(id.device, path);
    return id;
}

FileIdentity identityFromScan(const std::string& folder, std::uint64_t device, std::uint64_t inode,
                              std::uint64_t birth, std::uint64_t size, std::uint64_t modified) {
    FileIdentity id;
    if (device == 0 && inode == 0) return id;
    id.known = true;
    id.device = device;
    id.inode = inode;
    id.birth = birth;
    id.size = size;
    id.modified = modified;
    id.stableInode = stableInodes(device, folder);
    return id;
}

bool sameFile(const FileIdentity& recorded, const FileIdentity& now) {
    if (!recorded.known) return true;
    if (!now.known || recorded.device != now.device) return false;
    if (!recorded.stableInode) return recorded.size == now.size && recorded.modified == now.modified;
    if (recorded.inode != now.inode) return false;
    return recorded.birth == 0 || now.birth == 0 || recorded.birth == now.birth;
}
