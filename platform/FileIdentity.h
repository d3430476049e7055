#pragma once

// Which file a name stands for. Undo records the file it changed and checks, before it takes
// anything back, that the name still stands for that file: another file that took the name
// since must never be renamed or changed.

#include <cstdint>
#include <ctime>
#include <string>

struct FileIdentity {
    bool known = false;
    std::uint64_t device = 0, inode = 0;
    // A freed inode number is soon given to a new file; the birth time tells the two apart
    // where the file system records one.
    bool hasBirth = false;
    timespec birth{};
    // Some FUSE drivers number a file anew at each lookup; there, size and modification time
    // stand in for the inode.
    bool stableInode = true;
    std::int64_t size = 0;
    timespec modified{};
};

// The identity of path (a final symbolic link is not followed); unknown if it does not exist.
FileIdentity identityOf(const std::string& path);

// Whether now is the same file as recorded. An unknown recorded identity matches anything.
bool sameFile(const FileIdentity& recorded, const FileIdentity& now);
