#include "ui/win32/peers/calendar_popup.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "rtl/exceptions.h"
#include "rtl/flag_scope.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

// Posted to the popup: destroy yourself (the object has gone), and a click fell outside.
constexpr UINT kDestroySelf = WM_APP + 20;
constexpr UINT kDismiss = WM_APP + 21;

constexpr DWORD kPopupStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kPopupExStyle = WS_EX_TOOLWINDOW;

// The popup open on this thread (one at most: only the focused field drops down).
thread_local CalendarPopup* open_popup = nullptr;

bool IsMenuWindow(HWND hwnd) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  return std::wstring_view(name) == L"#32768";
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace

SYSTEMTIME SystemTimeOf(TDateTime day) {
  SYSTEMTIME time{};
  int year = 0, month = 0, d = 0;
  DecodeDate(day, year, month, d);
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(d);
  time.wDayOfWeek = static_cast<WORD>(DayOfWeek(day) - 1);
  return time;
}

bool DayOf(const SYSTEMTIME& time, TDateTime& day) {
  return TryEncodeDate(time.wYear, time.wMonth, time.wDay, day);
}

CalendarPopup::CalendarPopup(Win32Backend& backend, HWND field, HFONT font,
                             const TMonthCalendar& calendar, Handlers handlers)
    : backend_(backend), field_(field), handlers_(std::move(handlers)) {
  backend.EnsureClass(kClassName, CS_DROPSHADOW, &PopupProc);
  {
    VisualStyles::Scope scope(backend.Styles());
    popup_ = CreateWindowExW(kPopupExStyle, kClassName, L"", kPopupStyle, 0, 0, 0, 0,
                             GetAncestor(field, GA_ROOT), nullptr, ThisModule(), nullptr);
    if (popup_ != nullptr) {
      calendar_ = CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  popup_, nullptr, ThisModule(), nullptr);
    }
  }
  if (calendar_ == nullptr) {
    if (popup_ != nullptr) DestroyWindow(popup_);
    throw EInvalidOperation("Cannot create the month calendar (error " +
                            std::to_string(GetLastError()) + ")");
  }
  SetWindowLongPtrW(popup_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageW(calendar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // The model counts weekdays from Sunday = 1, the calendar from Monday = 0.
  SendMessageW(calendar_, MCM_SETFIRSTDAYOFWEEK, 0, (calendar.FirstDayOfWeek() + 5) % 7);
  Show(calendar);
  Place();
  open_popup = this;
  hook_ = SetWindowsHookExW(WH_MOUSE, &MouseHook, nullptr, GetCurrentThreadId());
}

CalendarPopup::~CalendarPopup() {
  if (open_popup == this) open_popup = nullptr;
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  SetWindowLongPtrW(popup_, GWLP_USERDATA, 0);
  ShowWindow(popup_, SW_HIDE);
  if (!PostMessageW(popup_, kDestroySelf, 0, 0)) DestroyWindow(popup_);
}

bool CalendarPopup::Contains(HWND hwnd) const {
  return hwnd != nullptr && (hwnd == popup_ || IsChild(popup_, hwnd));
}

void CalendarPopup::Show(const TMonthCalendar& calendar) {
  year_ = calendar.Year();
  month_ = calendar.Month();
  if (notifying_) return;
  SYSTEMTIME wanted = SystemTimeOf(calendar.Selected());
  SYSTEMTIME shown{};
  if (SendMessageW(calendar_, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown)) != 0 &&
      SameDay(shown, wanted)) {
    return;
  }
  SendMessageW(calendar_, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&wanted));
}

void CalendarPopup::Place() {
  RECT need{};
  SendMessageW(calendar_, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&need));
  const int calendar_width = need.right - need.left;
  const int calendar_height = need.bottom - need.top;
  MoveWindow(calendar_, 0, 0, calendar_width, calendar_height, FALSE);
  RECT frame{0, 0, calendar_width, calendar_height};
  AdjustWindowRectEx(&frame, kPopupStyle, FALSE, kPopupExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  RECT field{};
  GetWindowRect(field_, &field);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(field_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  int top = field.bottom;
  if (top + height > work.bottom && field.top - height >= work.top) top = field.top - height;
  const int left =
      std::clamp(static_cast<int>(field.left), static_cast<int>(work.left),
                 std::max(static_cast<int>(work.left), static_cast<int>(work.right) - width));
  SetWindowPos(popup_, HWND_TOP, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CalendarPopup::Notified(const NMHDR& header) {
  if (header.hwndFrom != calendar_) return 0;
  const auto& change = reinterpret_cast<const NMSELCHANGE&>(header);
  TDateTime day = 0;
  if (!DayOf(change.stSelStart, day)) return 0;
  if (header.code == MCN_SELECT) {
    // The handler may close the popup, which ends this object.
    const auto picked = handlers_.picked;
    if (picked) picked(day);
    return 0;
  }
  if (header.code == MCN_SELCHANGE) {
    const int months =
        (change.stSelStart.wYear * 12 + change.stSelStart.wMonth) - (year_ * 12 + month_);
    if (months == 0 || !handlers_.month_moved) return 0;
    // The handler may close the popup too: the flag is then left alone.
    const TFlagScope notifying(notifying_, life_.Watch());
    const auto month_moved = handlers_.month_moved;
    month_moved(months);
  }
  return 0;
}

LRESULT CALLBACK CalendarPopup::PopupProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<CalendarPopup*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_MOUSEACTIVATE:
      // Clicks on the calendar leave the field's form active and the focus in the field.
      return MA_NOACTIVATE;
    case kDestroySelf:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      // The system tells top-level windows; the calendar inside must redraw in the new look.
      if (HWND calendar = GetWindow(hwnd, GW_CHILD))
        SendMessageW(calendar, message, wparam, lparam);
      return DefWindowProcW(hwnd, message, wparam, lparam);
    default:
      break;
  }
  if (self == nullptr || (message != WM_NOTIFY && message != kDismiss)) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  Win32Backend& backend = self->backend_;
  try {
    if (message == WM_NOTIFY) return self->Notified(*reinterpret_cast<const NMHDR*>(lparam));
    const auto dismissed = self->handlers_.dismissed;
    if (dismissed) dismissed();
  } catch (...) {
    // Nothing may unwind through the window procedure into Windows.
    backend.ReportEscaped(std::current_exception());
  }
  return 0;
}

LRESULT CALLBACK CalendarPopup::MouseHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && open_popup != nullptr) {
    switch (wparam) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN: {
        const HWND target = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lparam)->hwnd;
        // The field's own button toggles the calendar itself; the calendar's month menu is
        // part of the calendar.
        if (!open_popup->Contains(target) && target != open_popup->field_ &&
            !IsMenuWindow(target)) {
          PostMessageW(open_popup->popup_, kDismiss, 0, 0);
        }
        break;
      }
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace tvx::win32
