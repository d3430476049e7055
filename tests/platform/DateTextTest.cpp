#include <gtest/gtest.h>

#include <QLocale>

#include "platform/DateText.h"
#include "platform/FileTime.h"
#include "tests/platform/TimeZone.h"

namespace {

class DateText : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    ScopedTimeZone tz_{"Europe/Berlin"};
};

} // namespace

TEST_F(DateText, GermanListTexts) {
    const struct {
        FILETIME utc;
        const char* text;
    } cases[] = {
        {calendarTime(2014, 4, 1, 8, 0, 0), "01.04.2014 10:00:00"}, // summer time: UTC+2
        {calendarTime(2024, 1, 15, 13, 5, 9), "15.01.2024 14:05:09"},
        {calendarTime(2024, 1, 14, 23, 0, 0), "15.01.2024"},        // local midnight: date alone
        {calendarTime(2024, 1, 14, 23, 0, 1), "15.01.2024 00:00:01"},
        {FILETIME{}, ""},                                        // no creation time recorded
        {FILETIME::fromTicks(0xFFFFFFFFFFFFFFFFULL), "Invalid DateTime"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatListDate(c.utc), c.text);
}

TEST_F(DateText, OtherLocalesKeepTheirOrderButShowFourDigitYears) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const FILETIME utc = calendarTime(2024, 7, 4, 16, 30, 15); // 18:30:15 in Berlin
    const std::string text = FormatListDate(utc);
    EXPECT_NE(text.find("7/4/2024"), std::string::npos) << text;
    EXPECT_NE(text.find("6:30:15"), std::string::npos) << text;
}
