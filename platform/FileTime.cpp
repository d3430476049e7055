#include "platform/FileTime.h"

#include <cerrno>
#include <climits>

namespace {

constexpr long long kTicksPerSecond = 10000000LL;
constexpr long long kEpochSeconds = static_cast<long long>(kUnixEpochTicks / kTicksPerSecond);

// Days since 1970-01-01 of a proleptic Gregorian date (valid for every year we can hold).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Seconds east of UTC in effect at the UTC time t.
bool offsetAt(time_t t, long& offset) {
    tm local{};
    if (!localtime_r(&t, &local)) return false;
    offset = local.tm_gmtoff;
    return true;
}

} // namespace

bool fileTimeFromUnix(long long seconds, long nanoseconds, FILETIME& out) {
    if (seconds < -kEpochSeconds) return false;
    const unsigned long long s = static_cast<unsigned long long>(seconds + kEpochSeconds);
    if (s > (ULLONG_MAX - 9999999ULL) / kTicksPerSecond) return false;
    out = FILETIME::fromTicks(s * kTicksPerSecond + static_cast<unsigned long long>(nanoseconds / 100));
    return true;
}

timespec unixFromFileTime(const FILETIME& ft) {
    const unsigned long long t = ft.ticks();
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(static_cast<long long>(t / kTicksPerSecond) - kEpochSeconds);
    ts.tv_nsec = static_cast<long>(t % kTicksPerSecond) * 100;
    return ts;
}

bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local) {
    if (utc.ticks() >= 0x8000000000000000ULL) return false;
    long offset = 0;
    if (!offsetAt(unixFromFileTime(utc).tv_sec, offset)) return false;
    const long long ticks = static_cast<long long>(utc.ticks()) + offset * kTicksPerSecond;
    if (ticks < 0) return false;
    local = FILETIME::fromTicks(static_cast<unsigned long long>(ticks));
    return true;
}

bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc) {
    if (local.ticks() >= 0x8000000000000000ULL) return false;
    // Read the local ticks as a wall-clock time and let the time-zone database find the
    // offset in effect then (mktime resolves daylight saving by itself).
    const timespec wall = unixFromFileTime(local);
    tm t{};
    if (!gmtime_r(&wall.tv_sec, &t)) return false;
    t.tm_isdst = -1;
    errno = 0;
    const time_t u = mktime(&t);
    if (u == static_cast<time_t>(-1) && errno != 0) return false;
    return fileTimeFromUnix(u, wall.tv_nsec, utc);
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st) {
    const unsigned long long t = ft.ticks();
    if (t >= 0x8000000000000000ULL) return false;
    const long long secs = static_cast<long long>(t / kTicksPerSecond) - kEpochSeconds;
    long long days = secs / 86400;
    long long rem = secs % 86400;
    if (rem < 0) rem += 86400, --days;
    long long y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    st.wYear = static_cast<int>(y);
    st.wMonth = static_cast<int>(m);
    st.wDay = static_cast<int>(d);
    st.wDayOfWeek = static_cast<int>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday
    st.wHour = static_cast<int>(rem / 3600);
    st.wMinute = static_cast<int>(rem / 60 % 60);
    st.wSecond = static_cast<int>(rem % 60);
    st.wMilliseconds = static_cast<int>(t % kTicksPerSecond / 10000);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wHour < 0 || st.wHour > 23 || st.wMinute < 0 || st.wMinute > 59 || st.wSecond < 0 ||
        st.wSecond > 59 || st.wMilliseconds < 0 || st.wMilliseconds > 999)
        return false;
    const bool leap = (st.wYear % 4 == 0 && st.wYear % 100 != 0) || st.wYear % 400 == 0;
    const int monthDays = kDays[st.wMonth - 1] + (st.wMonth == 2 && leap ? 1 : 0);
    if (st.wDay > monthDays) return false;
    const long long days = daysFromCivil(st.wYear, static_cast<unsigned>(st.wMonth),
                                         static_cast<unsigned>(st.wDay));
    const long long secs = days * 86400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    return fileTimeFromUnix(secs, st.wMilliseconds * 1000000L, ft);
}
