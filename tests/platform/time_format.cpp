// time_format.cpp: dates formatted with a mask, the clock and sleeping.
#include <gtest/gtest.h>

#include "platform.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Runs the tests in UTC and puts the previous time zone back afterwards.
class DateFormat : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz = tz != nullptr;
        if (hadTz) oldTz = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz) setenv("TZ", oldTz.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    bool hadTz = false;
    std::string oldTz;
};

// 2 August 2023, 09:05:07 UTC.
constexpr int64_t SampleTime = 1690967107;

TEST_F(DateFormat, MasksOfTheLogAndScreenshots) {
    EXPECT_EQ(FormatDate("Log %yyyy-%mm-%dd--%hh-%ii-%ss.log", SampleTime), "Log 2023-08-02--09-05-07.log");
    EXPECT_EQ(FormatDate("%dd.%mm.%yyyy %hh:%ii:%ss", SampleTime), "02.08.2023 09:05:07");
    EXPECT_EQ(FormatDate("%yyyy%mm%dd%hh%ii%ss", 0), "19700101000000");
    EXPECT_EQ(FormatDate("%yyyy-%mm-%dd %hh:%ii:%ss", 1704067199), "2023-12-31 23:59:59");
}

TEST_F(DateFormat, OtherTextIsCopied) {
    EXPECT_EQ(FormatDate("", SampleTime), "");
    EXPECT_EQ(FormatDate("no fields", SampleTime), "no fields");
    EXPECT_EQ(FormatDate("%yy %m %x 100% %", SampleTime), "%yy %m %x 100% %");
    EXPECT_EQ(FormatDate("%%yyyy %mmm %YYYY", SampleTime), "%2023 08m %YYYY");
}

TEST_F(DateFormat, FollowsTheLocalTimeZone) {
    setenv("TZ", "EST5", 1);  // five hours behind, no daylight saving
    tzset();
    EXPECT_EQ(FormatDate("%dd %hh:%ii", SampleTime), "02 04:05");
}

TEST(Clock, CurrentTimeAndSleep) {
    int64_t before = int64_t(std::time(nullptr));
    int64_t now = CurrentTime();
    EXPECT_GE(now, before);
    EXPECT_LE(now, before + 5);
    SleepMs(1);
    SleepMs(0);
    SleepMs(-5);
}

}  // namespace
