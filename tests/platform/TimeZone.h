#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/FileTime.h"

// Sets TZ for the lifetime of the object, so that local-time tests do not depend on the machine.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        old_ ? setenv("TZ", old_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

// The FILETIME of a calendar time, taken as it is (no time-zone conversion).
inline FILETIME calendarTime(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME st;
    st.wYear = y, st.wMonth = mo, st.wDay = d, st.wHour = h, st.wMinute = mi, st.wSecond = s;
    FILETIME ft;
    return SystemTimeToFileTime(st, ft) ? ft : FILETIME{};
}
