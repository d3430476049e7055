#pragma once

// Enumerates one folder in the order the file system gives, one find record per entry.
// Regular files and symbolic links to non-folders are files; a folder carries
// FILE_ATTRIBUTE_DIRECTORY (and FILE_ATTRIBUTE_SYSTEM when it must not be descended into: a
// stored S bit, or the mount point of a pseudo file system such as /proc). Entries that are no
// files to list (sockets, pipes, devices, links to folders) carry FILE_ATTRIBUTE_TEMPORARY, so
// that the scan skips them like temporary files. "." and ".." are left out, and so is an
// entry that vanishes before it can be examined.

#include <cstdint>
#include <dirent.h>
#include <atomic>
#include <functional>
#include <vector>
#include <string>

#include "platform/FileSystemKind.h"
#include "platform/WinTypes.h"

class DirectoryReader {
public:
    DirectoryReader() = default;
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;
    ~DirectoryReader() { close(); }

    // Opens folder; on failure returns false and error() gives the code.
    bool open(const std::string& folder);

    // The next entry; false at the end (error() is then 0) or on a read error.
    bool next(FindData& entry);

    // Up to max more entries at once, appended to entries; false when none is left (error()
    // tells whether the folder could not be read on). The entries are examined on several
    // threads: a large folder costs a system call or two per file, which need not wait on
    // each other.
    bool nextBatch(std::vector<FindData>& entries, std::size_t max);

    // Entries are examined (stat, attributes) only if accept says yes to their name and
    // directory-entry type (DT_DIR, DT_REG, ..., DT_UNKNOWN when the file system does not tell);
    // a scan thereby never pays for entries it would skip anyway.
    void setFilter(std::function<bool(const char* name, unsigned char type)> accept) {
        accept_ = std::move(accept);
    }

    // Whether the attributes kept in extended attributes are read (one more system call per
    // file); without them an entry's attributes come from its mode and name alone.
    void setStoredAttributesWanted(bool wanted) { storedWanted_ = wanted; }

    // Whether a regular file is taken by its directory entry alone: its name and what the name
    // says (hidden), but no size, times, mode or identity, and no system call. For callers that
    // need only names; a rename looks a file up itself when it changes it.
    void setNamesOnly(bool namesOnly) { namesOnly_ = namesOnly; }

    void close();
    std::uint32_t error() const { return error_; }

private:
    bool examine(const char* name, FindData& entry);
    // examine, or the name alone where that is enough.
    bool take(const char* name, unsigned char type, FindData& entry);

    DIR* dir_ = nullptr;
    int fd_ = -1;
    std::string prefix_; // the folder with a trailing '/'
    FileSystemKind kind_ = FileSystemKind::Posix;
    unsigned long long dev_ = 0;
    std::atomic<bool> askStored_{true}; // false once the file system said it keeps no extended attributes
    bool storedWanted_ = true;
    bool namesOnly_ = false;
    std::uint32_t error_ = 0;
    std::function<bool(const char*, unsigned char)> accept_;
};
