#pragma once

// Which way a file system keeps the attributes A R H S and the creation time.

#include <string>

enum class FileSystemKind {
    Posix,  // attributes from permissions, a leading dot and the user.DOSATTRIB attribute
    Fat,    // vfat/exfat: the FAT attribute ioctls
    Ntfs,   // ntfs-3g or ntfs3: system.ntfs_attrib and system.ntfs_crtime
    Smb,    // cifs: user.cifs.dosattrib and user.cifs.creationtime
    Pseudo, // proc, sysfs and the like: never descended into
};

// The kind of the file system an open descriptor lies on.
FileSystemKind fileSystemKindOf(int fd);

// The kind of the file system path lies on (the path itself need not be a folder).
FileSystemKind fileSystemKindOfPath(const std::string& path);
