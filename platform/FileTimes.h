#pragma once

// Reading and writing the three times of a file.

#include <ctime>
#include <string>

#include "platform/OpResult.h"
#include "platform/WinTypes.h"

struct FileTimes {
    FILETIME creation; // zero where the file system records none
    FILETIME lastAccess;
    FILETIME lastWrite;
};

// The times of path (a final symbolic link is not followed), to full precision.
OpResult readFileTimes(const std::string& path, FileTimes& times);

// Sets the given times of path; a null pointer leaves that time as it is. The creation time
// can be set only where the file system offers a way; elsewhere the call fails and changes
// nothing.
OpResult setFileTimes(const std::string& path, const FILETIME* creation, const FILETIME* lastAccess,
                      const FILETIME* lastWrite);

// The times of a file to the nanosecond, as the file system keeps them, so that undo can put
// back exactly what was there.
struct ExactFileTimes {
    FILETIME creation; // zero where the file system records none
    timespec lastAccess{};
    timespec lastWrite{};
};
OpResult readExactFileTimes(const std::string& path, ExactFileTimes& times);

// setFileTimes with POSIX times for last access and last write.
OpResult setExactFileTimes(const std::string& path, const FILETIME* creation, const timespec* lastAccess,
                           const timespec* lastWrite);
