// The drop-down of a date field: a bordered popup window below the field holding the system's
// month calendar (comctl32's MONTHCAL_CLASS). It never takes the activation, so the field's
// form stays active and the keyboard focus stays in the field, whose control-layer model
// operates the calendar's keys; the popup only shows that model's selected day and reports
// what the mouse does:
//   - a day clicked (MCN_SELECT): Handlers::picked with that day;
//   - the calendar's month changed by its arrows (MCN_SELCHANGE into another month):
//     Handlers::month_moved with the number of months;
//   - a mouse button pressed anywhere outside the popup and the field: Handlers::dismissed
//     (posted, so the click itself is handled first).
// Destroying the object hides the window at once and destroys it from the message loop, so
// that a handler may close the popup while the calendar is still inside its own click.
#pragma once

#include <functional>
#include <memory>

#include "rtl/datetime.h"
#include "rtl/life_mark.h"
#include "ui/controls/month_calendar.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

class Win32Backend;

class CalendarPopup {
 public:
  struct Handlers {
    std::function<void(TDateTime day)> picked;
    std::function<void(int months)> month_moved;
    std::function<void()> dismissed;
  };

  // Opens below `field` (above it when the screen has no room below), showing `calendar`.
  CalendarPopup(Win32Backend& backend, HWND field, HFONT font, const TMonthCalendar& calendar,
                Handlers handlers);
  ~CalendarPopup();
  CalendarPopup(const CalendarPopup&) = delete;
  CalendarPopup& operator=(const CalendarPopup&) = delete;

  // Shows the model's selected day (and with it its month).
  void Show(const TMonthCalendar& calendar);

  HWND Hwnd() const { return popup_; }
  HWND CalendarHwnd() const { return calendar_; }
  // Whether a window is the popup or lies inside it.
  bool Contains(HWND hwnd) const;

  // The window class of the popup, for finding it (tests, screenshots).
  static constexpr const wchar_t* kClassName = L"TavolexCalendarPopup";

 private:
  static LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK MouseHook(int code, WPARAM wparam, LPARAM lparam);
  LRESULT Notified(const NMHDR& header);
  void Place();

  Win32Backend& backend_;
  HWND field_;
  HWND popup_ = nullptr;
  HWND calendar_ = nullptr;
  HHOOK hook_ = nullptr;
  Handlers handlers_;
  // The month the model shows, from which a change of month made by the calendar is counted.
  int year_ = 0;
  int month_ = 0;
  // Set while a notification of the calendar is handled: the calendar is then left as it is.
  bool notifying_ = false;
  // Ends with the object, for handlers that outlive it on the stack.
  TLifeMark life_;
};

// Conversions between the control layer's days and the calendar's SYSTEMTIME.
SYSTEMTIME SystemTimeOf(TDateTime day);
// False for a SYSTEMTIME that is no valid date.
bool DayOf(const SYSTEMTIME& time, TDateTime& day);

}  // namespace tvx::win32
