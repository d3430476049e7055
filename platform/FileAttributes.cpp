#include "platform/FileAttributes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <atomic>
#include <sys/xattr.h>
#include <unistd.h>

#include "res/LoadString.h"

namespace {

constexpr std::uint32_t kAHS = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr const char* kDosAttrib = "user.DOSATTRIB";

const char* nativeAttributeName(FileSystemKind kind) {
    return kind == FileSystemKind::Ntfs  ? "system.ntfs_attrib"
           : kind == FileSystemKind::Smb ? "user.cifs.dosattrib"
                                         : nullptr;
}

std::string_view baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

bool readFatAttributes(const std::string& path, std::uint32_t& bits) {
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NOATIME | O_CLOEXEC);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    __u32 a = 0;
    bool ok = ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &a) == 0;
    close(fd);
    bits = a;
    return ok;
}

bool readNativeXattr(const std::string& path, const char* name, std::uint32_t& bits) {
    unsigned char v[4] = {};
    if (lgetxattr(path.c_str(), name, v, sizeof v) != 4) return false;
    bits = v[0] | (v[1] << 8) | (v[2] << 16) | (static_cast<std::uint32_t>(v[3]) << 24);
    return true;
}

std::uint32_t parseDosAttrib(char* buf, ssize_t n) {
    if (n <= 0) return 0;
    buf[n] = '\0';
    return static_cast<std::uint32_t>(std::strtoul(buf, nullptr, 0)) & kAHS;
}

// The stored DOSATTRIB text ("0x20"); absent or unreadable counts as no bits.
std::uint32_t readDosAttrib(const std::string& path) {
    char buf[64];
    return parseDosAttrib(buf, lgetxattr(path.c_str(), kDosAttrib, buf, sizeof buf - 1));
}

// getxattrat(2), Linux 6.13 and later; -1 with ENOSYS on older kernels.
ssize_t getxattrAt(int dirfd, const char* name, const char* attribute, char* buf, std::size_t size) {
#ifdef SYS_getxattrat
    constexpr long kGetxattrat = SYS_getxattrat;
#else
    constexpr long kGetxattrat = 464; // the same number on every architecture
#endif
    struct {
        std::uint64_t value;
        std::uint32_t size;
        std::uint32_t flags;
    } args{reinterpret_cast<std::uintptr_t>(buf), static_cast<std::uint32_t>(size), 0};
    return syscall(kGetxattrat, dirfd, name, AT_SYMLINK_NOFOLLOW, attribute, &args, sizeof args);
}

std::atomic<bool> gHaveGetxattrat{true}; // the scan asks from several threads

OpResult writeDosAttrib(const std::string& path, std::uint32_t bits) {
    int rc;
    if (bits == 0) {
        rc = lremovexattr(path.c_str(), kDosAttrib);
        if (rc != 0 && errno == ENODATA) rc = 0;
    } else {
        char buf[16];
        int n = std::snprintf(buf, sizeof buf, "0x%x", bits);
        rc = lsetxattr(path.c_str(), kDosAttrib, buf, static_cast<std::size_t>(n), 0);
    }
    if (rc == 0) return {};
    if (errno == ENOTSUP || errno == EOPNOTSUPP)
        return OpResult::withText(ERROR_NOT_SUPPORTED, LoadString(33100));
    return OpResult::fromErrno(errno);
}

OpResult setFatAttributes(const std::string& path, std::uint32_t attributes) {
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return OpResult::fromErrno(errno);
    __u32 a = 0;
    OpResult r;
    if (ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &a) != 0) {
        r = OpResult::fromErrno(errno);
    } else {
        a = (a & ~kChangeableAttributes) | (attributes & kChangeableAttributes);
        if (ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &a) != 0) r = OpResult::fromErrno(errno);
    }
    close(fd);
    return r;
}

OpResult setNativeXattr(const std::string& path, const char* name, std::uint32_t old,
                        std::uint32_t attributes) {
    std::uint32_t v = (old & ~kChangeableAttributes) | (attributes & kChangeableAttributes);
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    if (lsetxattr(path.c_str(), name, b, sizeof b, 0) != 0) return OpResult::fromErrno(errno);
    return {};
}

} // namespace

StoredAttributes readStoredAttributes(const std::string& path, FileSystemKind kind) {
    StoredAttributes s;
    if (kind == FileSystemKind::Fat && readFatAttributes(path, s.bits)) {
        s.native = true;
    } else if (const char* name = nativeAttributeName(kind); name && readNativeXattr(path, name, s.bits)) {
        s.native = true;
    } else {
        s.bits = readDosAttrib(path);
    }
    return s;
}

StoredAttributes readStoredAttributesAt(int dirfd, const char* name, const std::string& path,
                                        FileSystemKind kind) {
    if (kind != FileSystemKind::Posix || !gHaveGetxattrat) return readStoredAttributes(path, kind);
    char buf[64];
    const ssize_t n = getxattrAt(dirfd, name, kDosAttrib, buf, sizeof buf - 1);
    if (n < 0 && errno == ENOSYS) {
        gHaveGetxattrat = false;
        return readStoredAttributes(path, kind);
    }
    StoredAttributes s;
    s.bits = parseDosAttrib(buf, n);
    return s;
}

std::uint32_t attributesFrom(mode_t mode, std::string_view name, const StoredAttributes& stored) {
    if (stored.native) return stored.bits & kChangeableAttributes;
    std::uint32_t a = stored.bits & kAHS;
    if ((mode & 0222) == 0 && !S_ISLNK(mode)) a |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name[0] == '.') a |= FILE_ATTRIBUTE_HIDDEN;
    return a;
}

OpResult getFileAttributes(const std::string& path, std::uint32_t& attributes) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return OpResult::fromErrno(errno);
    const auto stored = readStoredAttributes(path, fileSystemKindOfPath(path));
    attributes = attributesFrom(st.st_mode, baseName(path), stored);
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    return {};
}

OpResult setFileAttributes(const std::string& path, std::uint32_t attributes) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return OpResult::fromErrno(errno);
    const FileSystemKind kind = fileSystemKindOfPath(path);
    const StoredAttributes stored = readStoredAttributes(path, kind);
    const std::uint32_t current = attributesFrom(st.st_mode, baseName(path), stored);
    const std::uint32_t wanted = attributes & kChangeableAttributes;
    if (current == wanted) return {};

    if (stored.native) {
        if (kind == FileSystemKind::Fat) return setFatAttributes(path, wanted);
        return setNativeXattr(path, nativeAttributeName(kind), stored.bits, wanted);
    }
    if (S_ISLNK(st.st_mode)) return OpResult::withText(ERROR_ACCESS_DENIED, LoadString(33104));

    const std::string_view name = baseName(path);
    const bool dotName = !name.empty() && name[0] == '.';
    // The program never renames to change an attribute, so a dot-file stays hidden.
    if (dotName && !(wanted & FILE_ATTRIBUTE_HIDDEN))
        return OpResult::withText(ERROR_ACCESS_DENIED, LoadString(33101));

    // Write the stored bits first: that is the step a file system may refuse, and it can be
    // taken back if changing the permissions fails afterwards.
    std::uint32_t storedWanted = wanted & kAHS;
    if (dotName) storedWanted &= ~FILE_ATTRIBUTE_HIDDEN | (stored.bits & FILE_ATTRIBUTE_HIDDEN);
    if (storedWanted != (stored.bits & kAHS)) {
        if (OpResult r = writeDosAttrib(path, storedWanted); !r.ok()) return r;
    }
    const bool wantReadOnly = wanted & FILE_ATTRIBUTE_READONLY;
    if (wantReadOnly != bool(current & FILE_ATTRIBUTE_READONLY)) {
        mode_t mode = st.st_mode & 07777;
        mode = wantReadOnly ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
        if (chmod(path.c_str(), mode) != 0) {
            OpResult r = OpResult::fromErrno(errno);
            if (storedWanted != (stored.bits & kAHS)) writeDosAttrib(path, stored.bits & kAHS);
            return r;
        }
    }
    return {};
}

OpResult captureAttributes(const std::string& path, AttributeState& state) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return OpResult::fromErrno(errno);
    state.mode = st.st_mode & 07777;
    state.stored = readStoredAttributes(path, fileSystemKindOfPath(path));
    return {};
}

OpResult restoreAttributes(const std::string& path, const AttributeState& state) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return OpResult::fromErrno(errno);
    if (state.stored.native) {
        const FileSystemKind kind = fileSystemKindOfPath(path);
        if (kind == FileSystemKind::Fat) return setFatAttributes(path, state.stored.bits);
        if (const char* name = nativeAttributeName(kind)) {
            std::uint32_t now = 0;
            readNativeXattr(path, name, now);
            return setNativeXattr(path, name, now, state.stored.bits);
        }
        return OpResult::withText(ERROR_NOT_SUPPORTED, LoadString(33100));
    }
    if (S_ISLNK(st.st_mode)) return {}; // nothing of a link's own was changed
    const StoredAttributes now = readStoredAttributes(path, fileSystemKindOfPath(path));
    if ((now.bits & kAHS) != (state.stored.bits & kAHS))
        if (OpResult r = writeDosAttrib(path, state.stored.bits & kAHS); !r.ok()) return r;
    if ((st.st_mode & 07777) != state.mode && chmod(path.c_str(), state.mode) != 0) return OpResult::fromErrno(errno);
    return {};
}
