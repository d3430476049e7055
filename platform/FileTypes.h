#pragma once

// The type text and icon of a file, decided by its extension alone: listing never opens a
// file, so its last-access time stays as it was.

#include <string>
#include <string_view>

struct FileTypeInfo {
    std::string typeName;        // e.g. "JPEG-Bild"; "XYZ-Datei" for an unknown extension
    std::string iconName;        // icon-theme name, e.g. "image-jpeg"
    std::string genericIconName; // fallback, e.g. "image-x-generic"
};

// Answers from a cache per extension; the type database is asked once per extension.
const FileTypeInfo& fileTypeOf(std::string_view name);
