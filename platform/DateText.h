#pragma once

// Date texts of the file list in the user's locale: the short date with a four-digit year and
// the time with seconds, the time left out at exactly midnight. A text parses back to the
// same second.

#include <string>

#include "platform/WinTypes.h"

// The text of a UTC time, shown in local time. Empty for a zero time (the file system records
// none); "Invalid DateTime" when it cannot be shown.
std::string FormatListDate(const FILETIME& utc);

// The text of a local time, without conversion.
std::string FormatLocalDate(const FILETIME& local);
