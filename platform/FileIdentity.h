#pragma once

// Which file a name stands for. Undo records the file it changed and checks, before it takes
// anything back, that the name still stands for that file: another file that took the name
// since must never be renamed or changed.

#include <cstdint>
#include <string>

struct FileIdentity {
    bool known = false;
    std::uint64_t device = 0, inode = 0;
    // A freed inode number is soon given to a new file; the birth time (100-ns ticks since
    // 1601, 0 where the file system records none) tells the two apart.
    std::uint64_t birth = 0;
    // Some FUSE drivers number a file anew at each lookup; there, size and modification time
    // (100-ns ticks) stand in for the inode.
    bool stableInode = true;
    std::uint64_t size = 0;
    std::uint64_t modified = 0;
};

// The identity of path (a final symbolic link is not followed); unknown if it does not exist.
FileIdentity identityOf(const std::string& path);

// The identity of a file of folder from what a folder scan found, without asking again.
FileIdentity identityFromScan(const std::string& folder, std::uint64_t device, std::uint64_t inode,
                              std::uint64_t birth, std::uint64_t size, std::uint64_t modified);

// Whether now is the same file as recorded. An unknown recorded identity matches anything.
bool sameFile(const FileIdentity& recorded, const FileIdentity& now);
