#pragma once

// The vocabulary the rest of the program shares with the platform layer: file times as 100-ns
// ticks since 1601 UTC, the attribute bits A R H S, and the error-code numbers the program
// speaks in (whatever errno the system gave).

#include <cstdint>
#include <string>

struct FILETIME {
    std::uint32_t dwLowDateTime = 0;
    std::uint32_t dwHighDateTime = 0;

    std::uint64_t ticks() const {
        return (std::uint64_t{dwHighDateTime} << 32) | dwLowDateTime;
    }
    static FILETIME fromTicks(std::uint64_t t) {
        return {static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(t >> 32)};
    }
    bool isZero() const { return dwLowDateTime == 0 && dwHighDateTime == 0; }
    friend bool operator==(const FILETIME&, const FILETIME&) = default;
};

// Ticks between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;

constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr std::uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x100;
// The bits the program changes.
constexpr std::uint32_t kChangeableAttributes = 0x27;

// One directory entry, as the enumeration finds it.
struct FindData {
    std::string name;             // the bytes the file system gave, without folder
    std::uint32_t attributes = 0; // FILE_ATTRIBUTE_* bits
    std::uint64_t size = 0;
    FILETIME creationTime;        // zero where the file system records none
    FILETIME lastWriteTime;
    FILETIME lastAccessTime;
    std::uint64_t device = 0, inode = 0; // which file it is, for undo; 0 where not known
};

// Error codes the program uses, by their customary numbers.
enum : std::uint32_t {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_FUNCTION = 1,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_TOO_MANY_OPEN_FILES = 4,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_CURRENT_DIRECTORY = 16,
    ERROR_NOT_SAME_DEVICE = 17,
    ERROR_WRITE_PROTECT = 19,
    ERROR_SHARING_VIOLATION = 32,
    ERROR_LOCK_VIOLATION = 33,
    ERROR_HANDLE_EOF = 38,
    ERROR_HANDLE_DISK_FULL = 39,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_FILE_EXISTS = 80,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_BROKEN_PIPE = 109,
    ERROR_DISK_FULL = 112,
    ERROR_INVALID_TARGET_HANDLE = 114,
    ERROR_INVALID_NAME = 123,
    ERROR_DIR_NOT_EMPTY = 145,
    ERROR_BUSY = 170,
    ERROR_ALREADY_EXISTS = 183,
    ERROR_FILENAME_EXCED_RANGE = 206,
    ERROR_DIRECTORY = 267,
    ERROR_CANT_RESOLVE_FILENAME = 1921,
    ERROR_IO_DEVICE = 1117,
    ERROR_CANCELLED = 1223,
    ERROR_INTERNAL_ERROR = 1359,
    ERROR_TIMEOUT = 1460,
};
