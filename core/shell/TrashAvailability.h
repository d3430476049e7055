#pragma once

// Whether a file can go to the freedesktop trash. A trash takes a file by renaming it, so it
// must lie on the file's own file system: the home trash ($XDG_DATA_HOME/Trash) when that is
// on the same file system, else $topdir/.Trash/$uid (an administrator's .Trash with the sticky
// bit, not a symbolic link) or $topdir/.Trash-$uid in the top folder of the file's file system,
// present or creatable. A read-only file system has no trash. Where none of them can take the
// file, a delete can only be for good.

#include <string>

bool HasTrash(const std::string& path);

// Makes sure the home trash is a folder, creating it (and $XDG_DATA_HOME) where it is missing;
// false when it cannot be one. QFile::moveToTrash must not be called without it: when it
// cannot set up the home trash, Qt 6.4 moves the file into "files" below the current working
// folder and reports success.
bool EnsureHomeTrash();
