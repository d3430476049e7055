#pragma once

// What a file system allows in a name. On Linux a name may hold any byte but '/' and NUL,
// trailing dots and spaces included, and case matters. File systems made for Windows (FAT,
// exFAT, NTFS, SMB shares, also when mounted through FUSE) refuse \ : * ? " < > |, drop or
// refuse trailing dots and spaces, and see names that differ only in case as one name.

#include <string>
#include <string_view>

struct NameRules {
    bool windowsNames = false;    // the characters above are refused, trailing dots and spaces dropped
    bool caseInsensitive = false; // "a.txt" and "A.TXT" name the same file
};

// The rules of the file system that holds folder (a folder that cannot be examined gets the
// Linux rules). Answers are cached per device, so asking once per file costs a stat.
NameRules nameRulesOf(const std::string& folder);

// The rules of a file system by its type as /proc/self/mountinfo names it ("vfat",
// "fuse.fusefat", "fuseblk", "cifs", "ext4", ...).
NameRules nameRulesOfType(std::string_view fsType);

// The characters Windows file systems refuse in a name.
inline constexpr std::string_view kWindowsForbiddenChars = "\\/:*?\"<>|";

// name without the trailing dots and spaces a Windows file system would drop.
std::string withoutTrailingDotsAndSpaces(std::string name);
