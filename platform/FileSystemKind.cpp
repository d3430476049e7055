#include "platform/FileSystemKind.h"

#include <sys/statfs.h>

namespace {

FileSystemKind kindOf(const struct statfs& s) {
    switch (static_cast<unsigned long>(s.f_type)) {
    case 0x4d44UL:     // MSDOS_SUPER_MAGIC (vfat)
    case 0x2011BAB0UL: // exfat
        return FileSystemKind::Fat;
    case 0x5346544eUL: // NTFS_SB_MAGIC (ntfs, ntfs3)
    case 0x7366746eUL: // ntfs3
    case 0x65735546UL: // FUSE: ntfs-3g is the common case; its attributes are probed anyway
        return FileSystemKind::Ntfs;
    case 0xFF534D42UL: // CIFS_MAGIC_NUMBER
    case 0xFE534D42UL: // SMB2_MAGIC_NUMBER
    case 0x517BUL:     // SMB_SUPER_MAGIC
        return FileSystemKind::Smb;
    case 0x9fa0UL:     // PROC_SUPER_MAGIC
    case 0x62656572UL: // SYSFS_MAGIC
    case 0x1373UL:     // DEVFS_SUPER_MAGIC (devtmpfs)
    case 0x27e0ebUL:   // CGROUP_SUPER_MAGIC
    case 0x63677270UL: // CGROUP2_SUPER_MAGIC
    case 0x64626720UL: // DEBUGFS_MAGIC
    case 0x74726163UL: // TRACEFS_MAGIC
    case 0x73636673UL: // SECURITYFS_MAGIC
    case 0xf97cff8cUL: // SELINUX_MAGIC
    case 0x6e736673UL: // NSFS_MAGIC
    case 0xcafe4a11UL: // BPF_FS_MAGIC
    case 0x1cd1UL:     // DEVPTS_SUPER_MAGIC
    case 0x42494e4dUL: // BINFMTFS_MAGIC
    case 0x6165676cUL: // PSTOREFS_MAGIC
    case 0x19800202UL: // MQUEUE_MAGIC
    case 0x67596969UL: // RPCAUTH_GSSMAGIC
    case 0xde5e81e4UL: // EFIVARFS_MAGIC
        return FileSystemKind::Pseudo;
    default:
        return FileSystemKind::Posix;
    }
}

} // namespace

FileSystemKind fileSystemKindOf(int fd) {
    struct statfs s {};
    if (fstatfs(fd, &s) != 0) return FileSystemKind::Posix;
    return kindOf(s);
}

FileSystemKind fileSystemKindOfPath(const std::string& path) {
    struct statfs s {};
    if (statfs(path.c_str(), &s) != 0) return FileSystemKind::Posix;
    return kindOf(s);
}
