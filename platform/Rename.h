#pragma once

// Renaming a file on disk without ever replacing another: if the new name exists, the rename
// fails and nothing changes, whatever the file system.

#include <string>

#include "platform/OpResult.h"

// Renames from to to (full paths in one folder). Tries renameat2 with RENAME_NOREPLACE; where
// the file system refuses that flag, a hard link under the new name followed by removing the
// old one; where it refuses hard links too, an exclusively created placeholder under the new
// name that the rename then replaces, checked afterwards. A change of case alone on a
// case-insensitive file system goes through a unique temporary name and is checked
// afterwards. When all fail, the error of the first way that did more than refuse the method
// is reported.
OpResult renameNoReplace(const std::string& from, const std::string& to);

// The same for two names in one folder, open as folderFd (-1: not open) at the path folder
// (ending in '/'): the usual case walks no path; anything unusual goes the ways above.
OpResult renameNoReplaceAt(int folderFd, const std::string& folder, const std::string& from, const std::string& to);
