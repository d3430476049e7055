#pragma once

// Error codes and their German texts. The program keeps the customary Windows error-code
// numbers as its vocabulary; system calls report errno, which is mapped to the nearest code.

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

// The code for an errno value. ENOENT maps to ERROR_FILE_NOT_FOUND; callers that know a folder
// is missing use ERROR_PATH_NOT_FOUND themselves.
std::uint32_t winErrorFromErrno(int err);

// The German text of an error code, ending with a line break as system texts do; for a code
// without a text: "Error # 0x7b. Keine Fehlermeldung verfügbar." (0 is printed as "0").
std::string FormatSystemError(std::uint32_t code);

// The text of a code, or empty if the program has none for it.
std::string systemErrorText(std::uint32_t code);
