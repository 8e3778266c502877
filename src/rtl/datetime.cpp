#include "rtl/datetime.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "rtl/exceptions.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/time.h>
#endif

namespace tvx {
namespace {

// 30 December 1899 counted from 1 January 0001 as day 1.
constexpr int64_t kDaysTo1899 = 693594;
constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kDaysPer100Years = 36524;
constexpr int64_t kDaysPer4Years = 1461;

constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

// A value taken apart: its day (day 0 = 30 December 1899) and the time of day in
// milliseconds. Days count forward in time whatever the sign, so a time that rounds up to
// a whole day moves to the next day in both directions.
struct DayAndTime {
  int64_t day;
  int64_t msec;
};

bool Split(TDateTime value, DayAndTime& parts) {
  if (!std::isfinite(value) || value <= MinDate - 1 || value >= MaxDate + 1) return false;
  double whole = std::trunc(value);
  int64_t day = static_cast<int64_t>(whole);
  int64_t msec = std::llround(std::fabs(value - whole) * static_cast<double>(MSecsPerDay));
  if (msec >= MSecsPerDay) {
    ++day;
    msec = 0;
  }
  if (day < MinDate || day > MaxDate) return false;
  parts = {day, msec};
  return true;
}

DayAndTime SplitOrThrow(TDateTime value) {
  DayAndTime parts{};
  if (!Split(value, parts)) throw EConvertError("Invalid argument to date decode");
  return parts;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  const int* table = kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0];
  return table[month] - table[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInAMonth(year, month);
}

bool IsValidTime(int hour, int min, int sec, int msec) {
  return hour >= 0 && hour < HoursPerDay && min >= 0 && min < MinsPerHour && sec >= 0 &&
         sec < SecsPerMin && msec >= 0 && msec < MSecsPerSec;
}

bool IsValidDateTime(TDateTime value) {
  DayAndTime parts{};
  return Split(value, parts);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (!IsValidDate(year, month, day)) return false;
  int64_t y = year - 1;
  int64_t serial = y * 365 + y / 4 - y / 100 + y / 400 +
                   kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0][month - 1] + day;
  date = static_cast<double>(serial - kDaysTo1899);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) {
    throw EConvertError("Invalid argument to date encode");
  }
  return date;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (!IsValidTime(hour, min, sec, msec)) return false;
  int64_t total = ((int64_t{hour} * MinsPerHour + min) * SecsPerMin + sec) * MSecsPerSec + msec;
  time = static_cast<double>(total) / static_cast<double>(MSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, min, sec, msec, time)) {
    throw EConvertError("Invalid argument to time encode");
  }
  return time;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  // Whole 400-, 100-, 4- and 1-year periods since 1 January 0001; the last period of each
  // kind may hold one day more (a leap day), which the clamps to 3 account for.
  int64_t n = SplitOrThrow(value).day + kDaysTo1899 - 1;
  int64_t n400 = n / kDaysPer400Years;
  n %= kDaysPer400Years;
  int64_t n100 = n / kDaysPer100Years;
  if (n100 == 4) n100 = 3;
  n -= n100 * kDaysPer100Years;
  int64_t n4 = n / kDaysPer4Years;
  n %= kDaysPer4Years;
  int64_t n1 = n / 365;
  if (n1 == 4) n1 = 3;
  n -= n1 * 365;
  year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
  const int* table = kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0];
  month = 1;
  while (n >= table[month]) ++month;
  day = static_cast<int>(n - table[month - 1] + 1);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
  int64_t t = SplitOrThrow(value).msec;
  msec = static_cast<int>(t % MSecsPerSec);
  t /= MSecsPerSec;
  sec = static_cast<int>(t % SecsPerMin);
  t /= SecsPerMin;
  min = static_cast<int>(t % MinsPerHour);
  hour = static_cast<int>(t / MinsPerHour);
}

int DayOfWeek(TDateTime value) {
  // Day 0, 30 December 1899, was a Saturday.
  int64_t day = SplitOrThrow(value).day;
  return static_cast<int>(((day % 7 + 7) % 7 + 6) % 7 + 1);
}

TDateTime DateOf(TDateTime value) {
  DayAndTime parts{};
  if (!Split(value, parts)) return std::trunc(value);
  return static_cast<double>(parts.day);
}

TDateTime TimeOf(TDateTime value) {
  DayAndTime parts{};
  if (!Split(value, parts)) return std::fabs(value - std::trunc(value));
  return static_cast<double>(parts.msec) / static_cast<double>(MSecsPerDay);
}

namespace {

struct LocalClock {
  int year, month, day, hour, min, sec, msec;
};

LocalClock ReadLocalClock() {
#ifdef _WIN32
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
#else
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &tm);
  return {tm.tm_year + 1900,
          tm.tm_mon + 1,
          tm.tm_mday,
          tm.tm_hour,
          tm.tm_min,
          std::min(tm.tm_sec, 59),
          static_cast<int>(tv.tv_usec / 1000)};
#endif
}

}  // namespace

TDateTime Date() {
  LocalClock c = ReadLocalClock();
  return EncodeDate(c.year, c.month, c.day);
}

TDateTime Now() {
  LocalClock c = ReadLocalClock();
  return ComposeDateTime(EncodeDate(c.year, c.month, c.day),
                         EncodeTime(c.hour, c.min, c.sec, c.msec));
}

}  // namespace tvx
