// The drop-down calendar of a date field as a model: the month shown, the selected day, and
// what keys and the month arrows do. A native backend shows it (with the system's month
// calendar) and a test driver operates it; both read and change only this state.
#pragma once

#include "rtl/datetime.h"
#include "ui/core/keys.h"

namespace tvx {

// What a key did to the calendar.
enum class TCalendarAction {
  None,       // the key means nothing here
  Moved,      // the selected day changed
  Picked,     // the selected day was chosen (Enter)
  Cancelled,  // the calendar is to close without a choice (Escape)
};

class TMonthCalendar {
 public:
  // Weeks shown: enough for any month wherever its first day falls.
  static constexpr int kWeeks = 6;

  TMonthCalendar();

  // Starts on a date (its day; the time is dropped), or on today for 0 or a value that is
  // no valid date.
  void Start(TDateTime date);

  // The selected day (a whole day); the month shown is always the selected day's month.
  TDateTime Selected() const { return selected_; }
  int Year() const { return year_; }
  int Month() const { return month_; }
  int Day() const { return day_; }
  // Selects a day; a value outside 1 January 0001 .. 31 December 9999 is clamped into it.
  void Select(TDateTime date);
  void MoveDays(int days);
  // Moves by whole months (the month arrows, Page Up and Page Down); the day is kept, or
  // becomes the month's last when that month is shorter.
  void MoveMonths(int months);

  // The weekday that starts each row: 1 = Sunday .. 7 = Saturday (Monday by default).
  int FirstDayOfWeek() const { return first_day_of_week_; }
  void SetFirstDayOfWeek(int day_of_week);
  // The day shown in a row (0..kWeeks-1) and column (0..6) of the month's page; the page
  // starts on the first row's weekday on or before the 1st, so it shows days of the
  // neighbouring months too.
  TDateTime DayAt(int week, int column) const;

  // Left/Right: a day back or on; Up/Down: a week; Page Up/Page Down: a month (with Ctrl, a
  // year); Home/End: the first or last day of the month; Enter: pick; Escape: cancel.
  TCalendarAction KeyDown(KeyCode key, ShiftState shift);

 private:
  TDateTime selected_ = 0;
  int year_ = 1899;
  int month_ = 12;
  int day_ = 30;
  int first_day_of_week_ = 2;
};

}  // namespace tvx
