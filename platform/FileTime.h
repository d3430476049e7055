#pragma once

// Conversions between FILETIME (100-ns ticks since 1601 UTC) and the system's time values.

#include <ctime>

#include "platform/WinTypes.h"

// Ticks for a POSIX time; false if it lies before 1601 or beyond what 64 bits hold.
bool fileTimeFromUnix(long long seconds, long nanoseconds, FILETIME& out);

// The POSIX time of a FILETIME, to full 100-ns precision.
timespec unixFromFileTime(const FILETIME& ft);

// Local time <-> UTC through the system time-zone database (daylight saving as at that date).
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local);
bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc);

// A broken-down calendar time, as the date and time inputs hold it.
struct SYSTEMTIME {
    int wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
    int wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st);
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft);
