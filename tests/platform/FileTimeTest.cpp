#include <gtest/gtest.h>

#include <tuple>

#include "platform/FileTime.h"
#include "tests/platform/TimeZone.h"

constexpr long long kHour = 36000000000LL; // in FILETIME ticks

TEST(FileTime, UnixAndFileTimeAgreeToTheTick) {
    FILETIME ft;
    ASSERT_TRUE(fileTimeFromUnix(0, 0, ft));
    EXPECT_EQ(ft.ticks(), kUnixEpochTicks);
    ASSERT_TRUE(fileTimeFromUnix(1700000000, 123456789, ft));
    EXPECT_EQ(ft.ticks(), kUnixEpochTicks + 17000000000000000ULL + 1234567ULL);
    timespec back = unixFromFileTime(ft);
    EXPECT_EQ(back.tv_sec, 1700000000);
    EXPECT_EQ(back.tv_nsec, 123456700); // 100-ns precision
    EXPECT_FALSE(fileTimeFromUnix(-11644473601LL, 0, ft)); // before 1601
    ASSERT_TRUE(fileTimeFromUnix(-11644473600LL, 0, ft));
    EXPECT_EQ(ft.ticks(), 0u);
}

TEST(FileTime, CalendarConversionsRoundTripAndRejectImpossibleDates) {
    const struct {
        int y, mo, d, h, mi, s;
        bool valid;
    } cases[] = {
        {1601, 1, 1, 0, 0, 0, true},    {1970, 1, 1, 0, 0, 0, true},  {2024, 2, 29, 23, 59, 59, true},
        {2023, 2, 29, 0, 0, 0, false},  {2000, 2, 29, 12, 0, 0, true}, {1900, 2, 29, 0, 0, 0, false},
        {2024, 13, 1, 0, 0, 0, false},  {2024, 4, 31, 0, 0, 0, false}, {1600, 12, 31, 0, 0, 0, false},
        {2024, 1, 1, 24, 0, 0, false},  {9999, 12, 31, 23, 59, 59, true},
    };
    for (const auto& c : cases) {
        const auto date = std::tuple(c.y, c.mo, c.d, c.h, c.mi, c.s);
        SYSTEMTIME st;
        st.wYear = c.y, st.wMonth = c.mo, st.wDay = c.d, st.wHour = c.h, st.wMinute = c.mi, st.wSecond = c.s;
        FILETIME ft;
        ASSERT_EQ(SystemTimeToFileTime(st, ft), c.valid) << testing::PrintToString(date);
        if (!c.valid) continue;
        ASSERT_TRUE(FileTimeToSystemTime(ft, st));
        EXPECT_EQ(std::tuple(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond), date);
    }
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(calendarTime(2024, 12, 6, 0, 0, 0), st));
    EXPECT_EQ(st.wDayOfWeek, 5); // a Friday
}

// The offset comes from the time-zone database at the given date, daylight saving included.
TEST(FileTime, LocalTimeFollowsTheZoneAndDaylightSaving) {
    const struct {
        const char* zone;
        FILETIME utc;
        long long offsetHours;
        bool backExactly = true; // false where the local time occurs twice
    } cases[] = {
        {"Europe/Berlin", calendarTime(2024, 3, 31, 0, 59, 59), 1}, // one second before the switch
        {"Europe/Berlin", calendarTime(2024, 3, 31, 1, 0, 0), 2},
        {"Europe/Berlin", calendarTime(2024, 10, 27, 0, 59, 59), 2, false},
        {"Europe/Berlin", calendarTime(2024, 10, 27, 1, 0, 0), 1, false},
        {"America/New_York", calendarTime(2024, 1, 15, 12, 0, 0), -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        ScopedTimeZone tz(c.zone);
        FILETIME local, back;
        ASSERT_TRUE(FileTimeToLocalFileTime(c.utc, local));
        EXPECT_EQ(static_cast<long long>(local.ticks() - c.utc.ticks()), c.offsetHours * kHour);
        ASSERT_TRUE(LocalFileTimeToFileTime(local, back));
        EXPECT_TRUE(!c.backExactly || back.ticks() == c.utc.ticks());
    }
    // Summer local time to UTC keeps fractions of a second.
    ScopedTimeZone tz("Europe/Berlin");
    FILETIME local = FILETIME::fromTicks(calendarTime(2024, 7, 1, 10, 0, 0).ticks() + 1234567);
    FILETIME utc;
    ASSERT_TRUE(LocalFileTimeToFileTime(local, utc));
    EXPECT_EQ(utc.ticks(), calendarTime(2024, 7, 1, 8, 0, 0).ticks() + 1234567);
}
