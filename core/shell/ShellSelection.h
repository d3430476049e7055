#pragma once

// The files of the selected rows as the desktop operations see them: full paths in row order
// and the deepest folder they all lie in.

#include <string>
#include <vector>

#include "core/list/FileListRecord.h"

// The string-table id of the message for a file operation that failed: the path, then the
// reason.
constexpr unsigned IDS_FILE_OPERATION_FAILED = 33400;

struct ShellSelection {
    std::vector<std::string> paths; // folder + '/' + name, in row order
    std::string commonFolder;       // with a trailing '/'; empty when the paths share none
};

// The deepest folder shared by all folders, with a trailing '/': the first folder, cut for each
// further one to the longest common leading part and then back to its last '/'. Names are
// bytes, and so is the comparison: on Linux "Bilder" and "bilder" are two folders.
std::string CommonFolder(const std::vector<std::string>& folders);

// The full path of a row's file. A folder that is not absolute, an empty name, a name with '/'
// or a path longer than the system allows cannot stand for a file: CVNException with the
// file-operation message, the path and the reason.
std::string ShellPath(const std::string& folder, const std::string& name);

// Paths and common folder of the records, in the order given. Throws as ShellPath.
ShellSelection MakeShellSelection(const std::vector<const FileListRecord*>& records);

// The file-operation message for path with the reason (a text ending as system texts do).
std::string FileOperationFailed(const std::string& path, const std::string& reason);
