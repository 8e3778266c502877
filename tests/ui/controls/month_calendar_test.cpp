#include "ui/controls/month_calendar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

TEST(MonthCalendar, StartsOnTheDayOfADateOrOnToday) {
  TMonthCalendar calendar;
  EXPECT_EQ(calendar.Selected(), Date());
  calendar.Start(At(2012, 12, 31, 18, 30));
  EXPECT_EQ(calendar.Selected(), At(2012, 12, 31));
  EXPECT_EQ(calendar.Year(), 2012);
  EXPECT_EQ(calendar.Month(), 12);
  EXPECT_EQ(calendar.Day(), 31);
  for (TDateTime none : {0.0, MaxDate + 5, std::nan("")}) {
    calendar.Start(none);
    EXPECT_EQ(calendar.Selected(), Date()) << none;
  }
}

TEST(MonthCalendar, KeysMoveTheSelectedDay) {
  struct Case {
    TDateTime start;
    KeyCode key;
    ShiftState shift;
    TDateTime selected;
    TCalendarAction action;
  };
  const Case kCases[] = {
      {At(2012, 3, 1), kVkLeft, kNoShift, At(2012, 2, 29), TCalendarAction::Moved},
      {At(2012, 12, 31), kVkRight, kNoShift, At(2013, 1, 1), TCalendarAction::Moved},
      {At(2012, 3, 5), kVkUp, kNoShift, At(2012, 2, 27), TCalendarAction::Moved},
      {At(2012, 3, 5), kVkDown, kNoShift, At(2012, 3, 12), TCalendarAction::Moved},
      {At(2012, 3, 31), kVkPrior, kNoShift, At(2012, 2, 29), TCalendarAction::Moved},
      {At(2012, 1, 31), kVkNext, kNoShift, At(2012, 2, 29), TCalendarAction::Moved},
      {At(2012, 2, 29), kVkNext, kCtrl, At(2013, 2, 28), TCalendarAction::Moved},
      {At(2012, 2, 29), kVkPrior, kCtrl, At(2011, 2, 28), TCalendarAction::Moved},
      {At(2012, 2, 14), kVkHome, kNoShift, At(2012, 2, 1), TCalendarAction::Moved},
      {At(2012, 2, 14), kVkEnd, kNoShift, At(2012, 2, 29), TCalendarAction::Moved},
      {At(2012, 2, 1), kVkHome, kNoShift, At(2012, 2, 1), TCalendarAction::None},
      {At(2012, 2, 14), kVkReturn, kNoShift, At(2012, 2, 14), TCalendarAction::Picked},
      {At(2012, 2, 14), kVkEscape, kNoShift, At(2012, 2, 14), TCalendarAction::Cancelled},
      {At(2012, 2, 14), kVkTab, kNoShift, At(2012, 2, 14), TCalendarAction::None},
      // The ends of the calendar hold.
      {At(1, 1, 1), kVkLeft, kNoShift, At(1, 1, 1), TCalendarAction::None},
      {At(1, 1, 15), kVkPrior, kNoShift, At(1, 1, 15), TCalendarAction::None},
      {At(9999, 12, 31), kVkDown, kNoShift, At(9999, 12, 31), TCalendarAction::None},
      {At(9999, 12, 5), kVkNext, kCtrl, At(9999, 12, 5), TCalendarAction::None},
  };
  for (const Case& c : kCases) {
    TMonthCalendar calendar;
    calendar.Start(c.start);
    EXPECT_EQ(calendar.KeyDown(c.key, c.shift), c.action) << c.start << " key " << c.key;
    EXPECT_EQ(calendar.Selected(), c.selected) << c.start << " key " << c.key;
  }
}

TEST(MonthCalendar, MonthArrowsKeepTheDayWhereTheMonthHasIt) {
  TMonthCalendar calendar;
  calendar.Start(At(2012, 1, 31));
  calendar.MoveMonths(1);
  EXPECT_EQ(calendar.Selected(), At(2012, 2, 29));
  calendar.MoveMonths(-1);
  EXPECT_EQ(calendar.Selected(), At(2012, 1, 29));
  calendar.MoveMonths(-13);
  EXPECT_EQ(calendar.Selected(), At(2010, 12, 29));
  calendar.MoveMonths(100000);
  EXPECT_EQ(calendar.Selected(), At(9999, 12, 29));
}

TEST(MonthCalendar, PageStartsOnTheFirstWeekdayOnOrBeforeTheFirst) {
  TMonthCalendar calendar;
  calendar.Start(At(2012, 3, 20));                   // 1 March 2012 is a Thursday
  EXPECT_EQ(calendar.DayAt(0, 0), At(2012, 2, 27));  // Monday
  EXPECT_EQ(calendar.DayAt(0, 3), At(2012, 3, 1));
  EXPECT_EQ(calendar.DayAt(TMonthCalendar::kWeeks - 1, 6), At(2012, 4, 8));
  calendar.SetFirstDayOfWeek(1);  // Sunday
  EXPECT_EQ(calendar.DayAt(0, 0), At(2012, 2, 26));
  calendar.Start(At(2012, 4, 2));  // 1 April 2012 is a Sunday
  EXPECT_EQ(calendar.DayAt(0, 0), At(2012, 4, 1));
  calendar.SetFirstDayOfWeek(9);  // ignored
  EXPECT_EQ(calendar.FirstDayOfWeek(), 1);
}

}  // namespace
}  // namespace tvx::test
