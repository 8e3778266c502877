#include "ui/win32/peers/window_peer.h"

#include <string>

#include "rtl/exceptions.h"
#include "ui/controls/radio_button.h"
#include "ui/core/form.h"
#include "ui/core/input.h"
#include "ui/core/keys.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/keyboard.h"
#include "ui/win32/backend/sibling_order.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

constexpr const wchar_t* kPeerProperty = L"Tavolex.WindowPeer";

bool IsRadio(const TControl* control) {
  return dynamic_cast<const TRadioButton*>(control) != nullptr;
}

// The window that a notification to a parent comes from, for the messages that carry one.
HWND NotifyingChild(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lparam);
    case WM_NOTIFY:
      return lparam != 0 ? reinterpret_cast<const NMHDR*>(lparam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
      // Menus send it with 0 in wparam and no window.
      return wparam != 0 && lparam != 0 ? reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hwndItem
                                        : nullptr;
    default:
      return nullptr;
  }
}

bool IsMouseDown(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool IsNavigationKey(KeyCode key) {
  return key == kVkTab || key == kVkLeft || key == kVkRight || key == kVkUp || key == kVkDown;
}

TMouseButton MouseButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

WindowPeer::WindowPeer(Win32Backend& backend, TControl& control)
    : backend_(backend), control_(control) {}

WindowPeer::~WindowPeer() {
  EndAccessibility();
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  Detach();
  DestroyWindow(hwnd);
}

void WindowPeer::Detach() {
  if (!own_class_ && native_proc_ != nullptr &&
      GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProc)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(native_proc_));
  }
  RemovePropW(hwnd_, kPeerProperty);
  accessible_.reset();
  hwnd_ = nullptr;
}

void WindowPeer::Create(HWND parent) {
  const WindowKind kind = Kind();
  if (kind.own_class) backend_.EnsureClass(kind.class_name, kind.class_style);
  DWORD style = kind.style | StateStyle();
  if (!IsTopLevel()) style |= WS_CHILD | WS_CLIPSIBLINGS;
  const TBounds& b = control_.Bounds();
  HWND hwnd = nullptr;
  {
    VisualStyles::Scope scope(backend_.Styles());
    hwnd = CreateWindowExW(kind.ex_style, kind.class_name.c_str(), Wide(control_.Caption()).c_str(),
                           style, b.left, b.top, b.width, b.height, parent, nullptr, ThisModule(),
                           nullptr);
  }
  if (hwnd == nullptr) {
    throw EInvalidOperation("Cannot create the window of '" + control_.Name() + "' (error " +
                            std::to_string(GetLastError()) + ")");
  }
  hwnd_ = hwnd;
  own_class_ = kind.own_class;
  if (own_class_) {
    native_proc_ = &DefWindowProcW;
  } else {
    native_proc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  }
  SetPropW(hwnd, kPeerProperty, this);
  if (!own_class_) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(backend_.Gdi().Font(*control_.Font())),
               FALSE);
  if (const AccessibleSource* source = Accessibility()) {
    accessible_ = std::make_unique<AccessibleWindow>(hwnd, *source);
  }
  Created();
}

WindowPeer* WindowPeer::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  // A window of another module that runs the same code carries the same property name.
  if (reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)) != ThisModule()) {
    return nullptr;
  }
  return static_cast<WindowPeer*>(GetPropW(hwnd, kPeerProperty));
}

WindowPeer* WindowPeer::Of(const TControl* control) {
  return control != nullptr ? dynamic_cast<WindowPeer*>(control->Peer()) : nullptr;
}

DWORD WindowPeer::StateStyle() const {
  DWORD style = 0;
  if (!control_.Enabled()) style |= WS_DISABLED;
  if (IsTopLevel()) return style;
  if (control_.Visible()) style |= WS_VISIBLE;
  const auto* window = dynamic_cast<const TWinControl*>(&control_);
  if (window == nullptr) return style;
  if (window->IsTabStop()) style |= WS_TABSTOP;
  bool starts_group = true;
  if (IsRadio(window) && window->Parent() != nullptr) {
    const auto& list = window->Parent()->TabList();
    for (size_t i = 1; i < list.size(); ++i) {
      if (list[i] == window) starts_group = !IsRadio(list[i - 1]);
    }
  }
  if (starts_group) style |= WS_GROUP;
  return style;
}

void WindowPeer::RefreshNavigation() {
  if (hwnd_ == nullptr || IsTopLevel()) return;
  const auto current = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD wanted = (current & ~(WS_TABSTOP | WS_GROUP)) |
                       (StateStyle() & static_cast<DWORD>(WS_TABSTOP | WS_GROUP));
  if (wanted != current) SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
}

void WindowPeer::Changed(ControlChange change) {
  if (hwnd_ == nullptr) return;
  switch (change) {
    case ControlChange::Text:
      SetWindowTextW(hwnd_, Wide(control_.Caption()).c_str());
      if (own_class_) InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case ControlChange::Bounds:
      ApplyBounds();
      break;
    case ControlChange::Enabled:
      EnableWindow(hwnd_, control_.Enabled() ? TRUE : FALSE);
      if (own_class_) InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case ControlChange::Visible:
      ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case ControlChange::Font:
      SendMessageW(hwnd_, WM_SETFONT,
                   reinterpret_cast<WPARAM>(backend_.Gdi().Font(*control_.Font())), TRUE);
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case ControlChange::Color:
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case ControlChange::TabOrder:
      if (const auto* container = dynamic_cast<const TWinControl*>(&control_)) {
        ArrangeSiblings(*container);
      }
      break;
    default:
      break;
  }
}

void WindowPeer::ApplyBounds() {
  const TBounds& b = control_.Bounds();
  SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowPeer::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowPeer* peer = FromHandle(hwnd);
  if (peer == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  Win32Backend& backend = peer->backend_;
  try {
    return peer->Dispatch(message, wparam, lparam);
  } catch (...) {
    // Nothing may unwind through the window procedure into Windows.
    backend.ReportEscaped(std::current_exception());
    return 0;
  }
}

LRESULT WindowPeer::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (!TakesNativeKeys() && HandleKey(message, wparam, lparam)) return 0;
      break;
    case WM_GETDLGCODE:
      if (!TakesNativeKeys())
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
      break;
    case WM_SETFOCUS: {
      LRESULT result = 0;
      if (Life().Survives([&] { result = OnMessage(message, wparam, lparam); })) FocusArrived();
      return result;
    }
    case WM_SETFONT:
      // Our own classes keep their font as the system classes do, for WM_GETFONT.
      if (own_class_) font_ = reinterpret_cast<HFONT>(wparam);
      break;
    case WM_GETFONT:
      if (own_class_) return reinterpret_cast<LRESULT>(font_);
      break;
    case WM_GETOBJECT:
      if (accessible_ != nullptr) {
        if (std::optional<LRESULT> answer = accessible_->Answer(wparam, lparam)) return *answer;
      }
      break;
    case WM_NCDESTROY: {
      // Destroyed from outside (its owner went first): the peer stays without a window.
      const LRESULT result = CallDefault(message, wparam, lparam);
      Detach();
      return result;
    }
    default:
      break;
  }
  if (HWND child = NotifyingChild(message, wparam, lparam); child != nullptr && child != hwnd_) {
    if (WindowPeer* peer = FromHandle(child)) {
      if (std::optional<LRESULT> result = peer->OnNotify(message, wparam, lparam)) return *result;
    }
  }
  if (!own_class_ && (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) &&
      !FocusBeforePress()) {
    return 0;
  }
  if (own_class_ && IsMouseDown(message)) {
    const ShiftState shift{(wparam & MK_SHIFT) != 0, (wparam & MK_CONTROL) != 0,
                           GetKeyState(VK_MENU) < 0};
    const TPoint point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    if (!Life().Survives(
            [&] { input::MouseDown(control_, MouseButtonOf(message), shift, point); })) {
      return 0;
    }
  }
  return OnMessage(message, wparam, lparam);
}

void WindowPeer::ShowKeyboardCues(WORD cues) const {
  HWND root = GetAncestor(hwnd_, GA_ROOT);
  if (root == nullptr) return;
  const auto hidden = static_cast<WORD>(SendMessageW(root, WM_QUERYUISTATE, 0, 0) & cues);
  // The top-level window passes the change on to every window inside it (WM_UPDATEUISTATE).
  if (hidden != 0) SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, hidden), 0);
}

bool WindowPeer::HandleKey(UINT message, WPARAM wparam, LPARAM lparam) {
  TCustomForm* form = control_.ParentForm();
  if (form == nullptr) return false;
  // The keyboard is in use: focus rectangles show from the first key that moves the focus, and
  // mnemonics from the first press of Alt, as in a system dialog.
  if (message == WM_KEYDOWN && IsNavigationKey(static_cast<KeyCode>(wparam))) {
    ShowKeyboardCues(UISF_HIDEFOCUS);
  } else if (message == WM_SYSKEYDOWN) {
    ShowKeyboardCues(UISF_HIDEACCEL);
  }
  switch (message) {
    case WM_KEYDOWN:
      input::KeyDown(*form, static_cast<KeyCode>(wparam), CurrentShiftState(lparam, false));
      return true;
    case WM_SYSKEYDOWN: {
      // The window's own handling follows (Alt+F4 closes, Alt+Space opens the system menu).
      return !Life().Survives([&] {
        input::KeyDown(*form, static_cast<KeyCode>(wparam), CurrentShiftState(lparam, true));
      });
    }
    case WM_KEYUP:
      return true;
    case WM_CHAR: {
      const auto unit = static_cast<wchar_t>(wparam);
      if (unit >= 0xD800 && unit < 0xDC00) {
        pending_surrogate_ = unit;
        return true;
      }
      std::wstring text;
      if (unit >= 0xDC00 && unit < 0xE000) {
        if (pending_surrogate_ == 0) return true;
        text = {pending_surrogate_, unit};
      } else {
        text = {unit};
      }
      pending_surrogate_ = 0;
      // Control characters come as key presses (Tab, Enter, Escape, Backspace).
      if (unit < 0x20 || unit == 0x7F) return true;
      input::Text(*form, Narrow(text));
      return true;
    }
    default:
      return false;
  }
}

bool WindowPeer::FocusBeforePress() {
  // A native control (a button) takes the focus itself when pressed, and clicks when the
  // press ends. The control layer moves the focus first instead: when the control that has
  // it refuses to be left (a field with an invalid text, whose error is then reported), the
  // press ends here, so the native control neither takes the focus nor clicks, and the
  // refusal is not reported a second time by the click.
  auto* window = dynamic_cast<TWinControl*>(&control_);
  TCustomForm* form = control_.ParentForm();
  if (window == nullptr || form == nullptr || window == form || !window->FocusOnClick() ||
      form->ActiveControl() == window || !window->Reachable()) {
    return true;
  }
  bool taken = false;
  if (!Life().Survives([&] { taken = input::Focus(*window); })) return false;
  if (!taken) {
    if (WindowPeer* form_peer = Of(form)) form_peer->Changed(ControlChange::Focus);
  }
  return taken;
}

void WindowPeer::FocusArrived() {
  if (backend_.SettingFocus()) return;
  TCustomForm* form = control_.ParentForm();
  auto* window = dynamic_cast<TWinControl*>(&control_);
  if (form == nullptr || window == nullptr || window == form) return;
  if (form->ActiveControl() == window) return;
  bool taken = false;
  if (!Life().Survives([&] { taken = input::Focus(*window); }) || taken) return;
  // The control layer kept the focus elsewhere: the native focus follows it.
  if (WindowPeer* form_peer = Of(form)) form_peer->Changed(ControlChange::Focus);
}

void WindowPeer::RaiseAccessible(DWORD event, const AccessiblePath& path) const {
  if (accessible_ != nullptr) accessible_->Raise(event, path);
}

LRESULT WindowPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallDefault(message, wparam, lparam);
}

LRESULT WindowPeer::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
  if (hwnd_ == nullptr) return 0;
  return CallWindowProcW(native_proc_, hwnd_, message, wparam, lparam);
}

std::optional<LRESULT> WindowPeer::OnNotify(UINT message, WPARAM wparam, LPARAM /*lparam*/) {
  switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(ControlColors(reinterpret_cast<HDC>(wparam)));
    default:
      return std::nullopt;
  }
}

HBRUSH WindowPeer::ControlColors(HDC dc) {
  if (dc != nullptr) {
    // Disabled text in the system's grey: Wine's group box, for one, draws its caption in
    // whatever colour is set here and would otherwise look enabled.
    SetTextColor(
        dc, control_.Enabled() ? ColorRef(control_.Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, ColorRef(control_.Color()));
  }
  return backend_.Gdi().Brush(control_.Color());
}

void WindowPeer::EraseWithColor(HDC dc, TColor color) {
  RECT rect;
  GetClientRect(hwnd_, &rect);
  FillRect(dc, &rect, backend_.Gdi().Brush(color));
}

int WindowPeer::ScaledToForm(int design_pixels) const {
  const TCustomForm* form = Control().ParentForm();
  const int pixels_per_inch = form != nullptr ? form->PixelsPerInch() : 0;
  if (pixels_per_inch <= 0) return Backend().Scale(design_pixels);
  return ::MulDiv(design_pixels, pixels_per_inch, 96);
}

}  // namespace tvx::win32
