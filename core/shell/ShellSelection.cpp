#include "core/shell/ShellSelection.h"

#include <climits>

#include "core/messages/CVNException.h"
#include "platform/errors.h"
#include "res/Format.h"

namespace {

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

} // namespace

std::string CommonFolder(const std::vector<std::string>& folders) {
    if (folders.empty()) return {};
    std::string common = withSlash(folders.front());
    for (std::size_t i = 1; i < folders.size() && !common.empty(); ++i) {
        const std::string folder = withSlash(folders[i]);
        std::size_t n = 0;
        while (n < common.size() && n < folder.size() && common[n] == folder[n])
            ++n;
        if (n == common.size()) continue;
        const std::size_t slash = common.rfind('/', n == 0 ? 0 : n - 1);
        common.resize(slash == std::string::npos || n == 0 ? 0 : slash + 1);
    }
    return common;
}

std::string FileOperationFailed(const std::string& path, const std::string& reason) {
    return FormatId(IDS_FILE_OPERATION_FAILED, {path, reason});
}

std::string ShellPath(const std::string& folder, const std::string& name) {
    const std::string path = withSlash(folder) + name;
    std::uint32_t code = 0;
    if (folder.empty() || folder.front() != '/' || name.empty() ||
        name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        code = ERROR_INVALID_NAME;
    else if (name.size() > NAME_MAX || path.size() >= PATH_MAX)
        code = ERROR_FILENAME_EXCED_RANGE;
    if (code != 0) throw CVNException(FileOperationFailed(path, FormatSystemError(code)));
    return path;
}

ShellSelection MakeShellSelection(const std::vector<const FileListRecord*>& records) {
    ShellSelection s;
    std::vector<std::string> folders;
    s.paths.reserve(records.size());
    folders.reserve(records.size());
    for (const FileListRecord* r : records) {
        s.paths.push_back(ShellPath(r->folderText(), r->name));
        folders.push_back(r->folderText());
    }
    s.commonFolder = CommonFolder(folders);
    return s;
}
