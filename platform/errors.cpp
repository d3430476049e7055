#include "platform/errors.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "res/LoadString.h"

namespace {

// Each code the program can meet, with the id of its text.
constexpr std::pair<std::uint32_t, unsigned> kTexts[] = {
    {ERROR_INVALID_FUNCTION, 33001},    {ERROR_FILE_NOT_FOUND, 33002},
    {ERROR_PATH_NOT_FOUND, 33003},      {ERROR_TOO_MANY_OPEN_FILES, 33004},
    {ERROR_ACCESS_DENIED, 33005},       {ERROR_INVALID_HANDLE, 33006},
    {ERROR_NOT_ENOUGH_MEMORY, 33007},   {ERROR_CURRENT_DIRECTORY, 33008},
    {ERROR_NOT_SAME_DEVICE, 33009},     {ERROR_WRITE_PROTECT, 33010},
    {ERROR_SHARING_VIOLATION, 33011},   {ERROR_LOCK_VIOLATION, 33012},
    {ERROR_HANDLE_EOF, 33013},          {ERROR_HANDLE_DISK_FULL, 33014},
    {ERROR_NOT_SUPPORTED, 33015},       {ERROR_FILE_EXISTS, 33016},
    {ERROR_INVALID_PARAMETER, 33017},   {ERROR_BROKEN_PIPE, 33018},
    {ERROR_DISK_FULL, 33019},           {ERROR_INVALID_NAME, 33020},
    {ERROR_DIR_NOT_EMPTY, 33021},       {ERROR_BUSY, 33022},
    {ERROR_ALREADY_EXISTS, 33023},      {ERROR_FILENAME_EXCED_RANGE, 33024},
    {ERROR_DIRECTORY, 33025},           {ERROR_IO_DEVICE, 33026},
    {ERROR_CANCELLED, 33027},           {ERROR_INTERNAL_ERROR, 33028},
    {ERROR_TIMEOUT, 33029},             {ERROR_CANT_RESOLVE_FILENAME, 33030},
    {ERROR_INVALID_TARGET_HANDLE, 33031},
};

} // namespace

std::uint32_t winErrorFromErrno(int err) {
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EBUSY: return ERROR_BUSY;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOTSUP:
    case ENOSYS: return ERROR_NOT_SUPPORTED;
    case EIO: return ERROR_IO_DEVICE;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EPIPE:
    case ENOTCONN:
    case ESTALE: return ERROR_BROKEN_PIPE;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case EILSEQ: return ERROR_INVALID_NAME;
    case ECANCELED: return ERROR_CANCELLED;
    default: return ERROR_INTERNAL_ERROR;
    }
}

std::string systemErrorText(std::uint32_t code) {
    for (const auto& [c, id] : kTexts)
        if (c == code) return LoadString(id);
    return std::string();
}

std::string FormatSystemError(std::uint32_t code) {
    std::string text = code != 0 ? systemErrorText(code) : std::string();
    if (!text.empty()) return text;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "Error # %#x. ", code);
    return prefix + LoadString(61472);
}
