#include "ui/controls/month_calendar.h"

#include <algorithm>
#include <cmath>

namespace tvx {

TMonthCalendar::TMonthCalendar() { Start(0); }

void TMonthCalendar::Start(TDateTime date) {
  Select(date != 0 && IsValidDateTime(date) ? DateOf(date) : tvx::Date());
}

void TMonthCalendar::Select(TDateTime date) {
  if (!std::isfinite(date)) return;
  selected_ = std::clamp(std::floor(date), MinDate, MaxDate);
  DecodeDate(selected_, year_, month_, day_);
}

void TMonthCalendar::MoveDays(int days) { Select(selected_ + days); }

void TMonthCalendar::MoveMonths(int months) {
  long total = static_cast<long>(year_) * 12 + (month_ - 1) + months;
  total = std::clamp(total, 12L, 9999L * 12 + 11);  // January 0001 .. December 9999
  int year = static_cast<int>(total / 12);
  int month = static_cast<int>(total % 12) + 1;
  Select(EncodeDate(year, month, std::min(day_, DaysInAMonth(year, month))));
}

void TMonthCalendar::SetFirstDayOfWeek(int day_of_week) {
  if (day_of_week >= 1 && day_of_week <= 7) first_day_of_week_ = day_of_week;
}

TDateTime TMonthCalendar::DayAt(int week, int column) const {
  TDateTime first = EncodeDate(year_, month_, 1);
  int lead = (DayOfWeek(first) - first_day_of_week_ + 7) % 7;
  return first - lead + week * 7 + column;
}

TCalendarAction TMonthCalendar::KeyDown(KeyCode key, ShiftState shift) {
  TDateTime before = selected_;
  switch (key) {
    case kVkLeft:
      MoveDays(-1);
      break;
    case kVkRight:
      MoveDays(1);
      break;
    case kVkUp:
      MoveDays(-7);
      break;
    case kVkDown:
      MoveDays(7);
      break;
    case kVkPrior:
      MoveMonths(shift.ctrl ? -12 : -1);
      break;
    case kVkNext:
      MoveMonths(shift.ctrl ? 12 : 1);
      break;
    case kVkHome:
      Select(EncodeDate(year_, month_, 1));
      break;
    case kVkEnd:
      Select(EncodeDate(year_, month_, DaysInAMonth(year_, month_)));
      break;
    case kVkReturn:
      return TCalendarAction::Picked;
    case kVkEscape:
      return TCalendarAction::Cancelled;
    default:
      return TCalendarAction::None;
  }
  return selected_ != before ? TCalendarAction::Moved : TCalendarAction::None;
}

}  // namespace tvx
