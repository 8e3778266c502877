#include "rtl/datetime.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iomanip>
#include <limits>

#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

struct CalendarDay {
  int year, month, day;
  TDateTime serial;
  int day_of_week;  // 1 = Sunday
};

// Serial numbers checked against an independent proleptic Gregorian calendar.
constexpr CalendarDay kCalendar[] = {
    {1899, 12, 30, 0, 7},    {1899, 12, 31, 1, 1},      {1900, 1, 1, 2, 2},
    {1900, 2, 28, 60, 4},    {1900, 3, 1, 61, 5},       {2000, 1, 1, 36526, 7},
    {2000, 2, 29, 36585, 3}, {2012, 12, 31, 41274, 2},  {2013, 1, 1, 41275, 3},
    {2024, 2, 29, 45351, 5}, {2100, 3, 1, 73110, 2},    {1899, 12, 29, -1, 6},
    {1800, 1, 1, -36522, 4}, {1600, 2, 29, -109512, 3}, {4, 2, 29, -692439, 1},
    {1, 12, 31, -693229, 2}, {1, 1, 1, -693593, 2},     {9999, 12, 31, 2958465, 6},
};

TEST(DateTime, EncodesAndDecodesCalendarDays) {
  for (const CalendarDay& c : kCalendar) {
    SCOPED_TRACE(testing::Message() << c.year << '-' << c.month << '-' << c.day);
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial);
    int y = 0, m = 0, d = 0;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y, c.year);
    EXPECT_EQ(m, c.month);
    EXPECT_EQ(d, c.day);
    EXPECT_EQ(DayOfWeek(c.serial), c.day_of_week);
  }
}

// Every day of the range decodes to the day after its predecessor and encodes back.
TEST(DateTime, EveryDayOfTheRangeRoundTrips) {
  int py = 0, pm = 12, pd = 31;
  for (int64_t serial = static_cast<int64_t>(MinDate); serial <= static_cast<int64_t>(MaxDate);
       ++serial) {
    int y = 0, m = 0, d = 0;
    DecodeDate(static_cast<double>(serial), y, m, d);
    bool next_day = y == py && m == pm && d == pd + 1;
    bool next_month = y == py && m == pm + 1 && d == 1 && pd == DaysInAMonth(py, pm);
    bool next_year = y == py + 1 && m == 1 && d == 1 && pm == 12 && pd == 31;
    ASSERT_TRUE(next_day || next_month || next_year) << serial << ": " << y << '-' << m << '-' << d;
    ASSERT_EQ(EncodeDate(y, m, d), static_cast<double>(serial));
    py = y, pm = m, pd = d;
  }
  EXPECT_EQ(py, 9999);
}

TEST(DateTime, RejectsImpossibleDates) {
  struct Case {
    int year, month, day;
  };
  constexpr Case kInvalid[] = {{1900, 2, 29}, {2100, 2, 29}, {1700, 2, 29}, {2023, 2, 29},
                               {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 10}, {2024, 1, 0},
                               {2024, 1, 32}, {0, 12, 31},   {10000, 1, 1}, {-5, 1, 1}};
  for (const Case& c : kInvalid) {
    SCOPED_TRACE(testing::Message() << c.year << '-' << c.month << '-' << c.day);
    EXPECT_FALSE(IsValidDate(c.year, c.month, c.day));
    TDateTime out = 123;
    EXPECT_FALSE(TryEncodeDate(c.year, c.month, c.day, out));
    EXPECT_EQ(out, 123);
    EXPECT_THROW(EncodeDate(c.year, c.month, c.day), EConvertError);
  }
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_TRUE(IsValidDate(1600, 2, 29));
}

TEST(DateTime, LeapYearsAndMonthLengths) {
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(1900, 2), 28);
  EXPECT_EQ(DaysInAMonth(2000, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 4), 30);
  EXPECT_EQ(DaysInAMonth(2023, 12), 31);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
}

struct TimeCase {
  TDateTime value;
  int year, month, day, hour, min, sec, msec;
};

// The fraction counts forward within the day whatever the sign of the value.
constexpr TimeCase kTimes[] = {
    {0.0, 1899, 12, 30, 0, 0, 0, 0},
    {0.5, 1899, 12, 30, 12, 0, 0, 0},
    {-1.25, 1899, 12, 29, 6, 0, 0, 0},
    {-1.75, 1899, 12, 29, 18, 0, 0, 0},
    {-2.0, 1899, 12, 28, 0, 0, 0, 0},
    {41274.75, 2012, 12, 31, 18, 0, 0, 0},
    {36526.0 + 45296789.0 / 86400000.0, 2000, 1, 1, 12, 34, 56, 789},
    {-36522.0 - 45296789.0 / 86400000.0, 1800, 1, 1, 12, 34, 56, 789},
    // Within half a millisecond of midnight: rounds into the next day, in both directions.
    {41274.9999999999, 2013, 1, 1, 0, 0, 0, 0},
    {-2.9999999999, 1899, 12, 29, 0, 0, 0, 0},
    {2958465.0 + 86399999.0 / 86400000.0, 9999, 12, 31, 23, 59, 59, 999},
    {-693593.5, 1, 1, 1, 12, 0, 0, 0},
};

TEST(DateTime, DecodesTimesOfDay) {
  for (const TimeCase& c : kTimes) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.value);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(c.value, y, mo, d);
    DecodeTime(c.value, h, mi, s, ms);
    EXPECT_EQ((std::array{y, mo, d, h, mi, s, ms}),
              (std::array{c.year, c.month, c.day, c.hour, c.min, c.sec, c.msec}));
    TDateTime date = EncodeDate(c.year, c.month, c.day);
    TDateTime time = EncodeTime(c.hour, c.min, c.sec, c.msec);
    EXPECT_EQ(DateOf(c.value), date);
    EXPECT_NEAR(TimeOf(c.value), time, 1e-12);
    // Composing the parts again gives a value that decodes the same.
    TDateTime composed = ComposeDateTime(date, time);
    EXPECT_EQ(DateOf(composed), date);
    EXPECT_NEAR(TimeOf(composed), time, 1e-12);
  }
}

TEST(DateTime, EncodesTimes) {
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeTime(6, 0, 0), 0.25);
  EXPECT_EQ(EncodeTime(18, 0, 0), 0.75);
  EXPECT_NEAR(EncodeTime(23, 59, 59, 999), 1.0 - 1.0 / 86400000.0, 1e-15);
  struct Case {
    int h, m, s, ms;
  };
  for (Case c : {Case{24, 0, 0, 0}, Case{0, 60, 0, 0}, Case{0, 0, 60, 0}, Case{0, 0, 0, 1000},
                 Case{-1, 0, 0, 0}, Case{0, 0, 0, -1}}) {
    TDateTime t = 0;
    EXPECT_FALSE(TryEncodeTime(c.h, c.m, c.s, c.ms, t));
    EXPECT_THROW(EncodeTime(c.h, c.m, c.s, c.ms), EConvertError);
  }
}

TEST(DateTime, ValuesOutsideTheRangeAreNoDates) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  for (double v : {std::nan(""), kInf, -kInf, MaxDate + 1, MinDate - 1, -693594.5, 1e300, -1e300,
                   // rounds past the last millisecond of 31 December 9999
                   2958465.9999999999}) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << v);
    EXPECT_FALSE(IsValidDateTime(v));
    int a = 0, b = 0, c = 0, d = 0;
    EXPECT_THROW(DecodeDate(v, a, b, c), EConvertError);
    EXPECT_THROW(DecodeTime(v, a, b, c, d), EConvertError);
  }
  EXPECT_TRUE(IsValidDateTime(0));
  EXPECT_TRUE(IsValidDateTime(MinDate));
  EXPECT_TRUE(IsValidDateTime(MaxDate + 0.5));
}

TEST(DateTime, TodayAndNowAgree) {
  TDateTime before = Date();
  TDateTime now = Now();
  TDateTime after = Date();
  EXPECT_EQ(before, DateOf(before));
  EXPECT_TRUE(DateOf(now) == before || DateOf(now) == after);
  EXPECT_GE(now, before);
  EXPECT_LT(now, after + 1);
  int y = 0, m = 0, d = 0;
  DecodeDate(before, y, m, d);
  EXPECT_GE(y, 2024);
}

}  // namespace
}  // namespace tvx::test
