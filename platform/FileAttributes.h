#pragma once

// The attributes A R H S of a file. Where the file system has them (FAT, NTFS, SMB) they are
// read and written there; elsewhere R is "no write permission", H is a leading dot or a stored
// H bit, and A, H and S are kept in the user.DOSATTRIB extended attribute as text ("0x20").

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "platform/FileSystemKind.h"
#include "platform/OpResult.h"

// The bits stored for path beside its permissions (A, H, S and, on FAT/NTFS/SMB, R), and
// whether the file system could be asked at all.
struct StoredAttributes {
    std::uint32_t bits = 0;
    bool native = false; // bits are the file system's own, R included
};
StoredAttributes readStoredAttributes(const std::string& path, FileSystemKind kind);

// The same for the entry name of the open folder dirfd (path is its full path), without
// resolving the whole path again where the system can read attributes relative to a folder.
StoredAttributes readStoredAttributesAt(int dirfd, const char* name, const std::string& path,
                                        FileSystemKind kind);

// Combines permissions, name and stored bits into FILE_ATTRIBUTE_* bits (A R H S only).
std::uint32_t attributesFrom(mode_t mode, std::string_view name, const StoredAttributes& stored);

// GetFileAttributes: all bits of path (a final symbolic link is not followed), with
// FILE_ATTRIBUTE_DIRECTORY for a folder.
OpResult getFileAttributes(const std::string& path, std::uint32_t& attributes);

// SetFileAttributes: sets A R H S of path to those of attributes. Either everything changes or
// nothing does.
OpResult setFileAttributes(const std::string& path, std::uint32_t attributes);

// Everything that makes up a file's A R H S, exactly: the permission bits and the stored bits.
// Undo puts back exactly this, so that taking back "set R" on a file with mode 0664 gives
// 0664 again, not the owner's write bit alone.
struct AttributeState {
    mode_t mode = 0; // permission bits (07777)
    StoredAttributes stored;
};
OpResult captureAttributes(const std::string& path, AttributeState& state);
OpResult restoreAttributes(const std::string& path, const AttributeState& state);
