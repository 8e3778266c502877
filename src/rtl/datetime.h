// Dates and times of day as one number, the form in which the module, its record sets and
// the automation calls to the application server carry them.
#pragma once

#include <cstdint>

namespace tvx {

// Days since 30 December 1899 (day 0); the fraction is the time of day. Before day 0 the
// whole part counts days back while the fraction still counts the time forward within that
// day, so -1.25 is 29 December 1899, 06:00. The module uses 0 for "no date".
using TDateTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerHour = 60;
inline constexpr int SecsPerMin = 60;
inline constexpr int MSecsPerSec = 1000;
inline constexpr int64_t MSecsPerDay = 86'400'000;

// The range of dates: 1 January 0001 and 31 December 9999 (proleptic Gregorian calendar).
inline constexpr TDateTime MinDate = -693593.0;
inline constexpr TDateTime MaxDate = 2958465.0;

bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int min, int sec, int msec);
// True for a finite value whose day, after rounding the time to milliseconds, lies in
// 1 January 0001 .. 31 December 9999.
bool IsValidDateTime(TDateTime value);

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// Raises EConvertError "Invalid argument to date encode" for an impossible date.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// Raises EConvertError "Invalid argument to time encode" for an impossible time.
TDateTime EncodeTime(int hour, int min, int sec, int msec = 0);
// Joins a whole-day date and a time of day (0 <= time < 1), honouring the sign convention
// of dates before day 0.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// Both raise EConvertError for a value that IsValidDateTime rejects. The time is rounded to
// the nearest millisecond first, so 23:59:59.9999 decodes as 00:00 of the next day.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// The date part (a whole number of days) and the time of day (0 <= time < 1) of a value,
// both after the millisecond rounding that DecodeDate and DecodeTime apply. For a value
// that is no valid date they are the plain whole part and the size of the fraction.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Today at midnight, and the current moment, both in local time.
TDateTime Date();
TDateTime Now();

}  // namespace tvx
