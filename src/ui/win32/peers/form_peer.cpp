#include "ui/win32/peers/form_peer.h"

#include <vector>

#include "rtl/flag_scope.h"
#include "ui/core/input.h"
#include "ui/win32/backend/resolution.h"
#include "ui/win32/backend/sibling_order.h"
#include "ui/win32/backend/win32_backend.h"
#include "ui/win32/peers/form_styles.h"

namespace tvx::win32 {

FormPeer::~FormPeer() {
  if (Hwnd() != nullptr) HandActivationBack();
}

WindowKind FormPeer::Kind() const {
  const FormStyles styles = StylesOfForm(Form().BorderStyle(), Form().BorderIcons());
  return {.class_name = L"TavolexForm",
          .own_class = true,
          .class_style = CS_DBLCLKS,
          .style = styles.style,
          .ex_style = styles.ex_style | WS_EX_CONTROLPARENT};
}

void FormPeer::Created() { applied_ = Form().Bounds(); }

void FormPeer::Changed(ControlChange change) {
  if (Hwnd() == nullptr) return;
  switch (change) {
    case ControlChange::Visible:
      if (Form().Visible()) {
        // Every window exists now: they take the control layer's order once, and follow each
        // announced change of it from here on (ControlChange::TabOrder).
        ArrangeTree(Form());
        if (!TakeWindowResolution()) return;
        previous_active_ = GetActiveWindow();
        // Focus rectangles and mnemonics as a system dialog starts: shown when the last input
        // came from the keyboard (or the system always shows them), hidden otherwise.
        SendMessageW(Hwnd(), WM_CHANGEUISTATE,
                     MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        ShowWindow(Hwnd(), SW_SHOWNORMAL);
      } else {
        HandActivationBack();
        ShowWindow(Hwnd(), SW_HIDE);
      }
      break;
    case ControlChange::Focus:
      SyncFocus();
      break;
    case ControlChange::Bounds:
      if (!resizing_) ApplyBounds();
      break;
    case ControlChange::Appearance:
      ApplyFrame();
      break;
    default:
      WindowPeer::Changed(change);
      break;
  }
}

bool FormPeer::TakeWindowResolution() {
  // The form was laid out at the system's resolution when it loaded; its window may have opened
  // on a monitor of another one, which the window keeps until it is moved.
  const int window = Backend().WindowPixelsPerInch(Hwnd());
  if (window <= 0 || window == Form().PixelsPerInch()) return true;
  // The frame is the one the system draws around this window, as on WM_DPICHANGED.
  if (!Life().Survives([&] { Form().ScaleToResolution(window, WindowPixelsPerInch(Hwnd())); })) {
    return false;
  }
  ForwardToDescendants(WM_DPICHANGED_AFTERPARENT, 0, 0);
  return true;
}

void FormPeer::SyncFocus() {
  if (!Form().Visible()) return;
  HWND target = Hwnd();
  if (const WindowPeer* focused = Of(Form().ActiveControl()); focused && focused->Hwnd()) {
    target = focused->Hwnd();
  }
  if (GetFocus() != target) Backend().SetNativeFocus(target);
}

void FormPeer::ApplyBounds() {
  if (IsIconic(Hwnd()) || IsZoomed(Hwnd())) return;
  const TBounds& b = Form().Bounds();
  RECT now;
  GetWindowRect(Hwnd(), &now);
  int left = b.left;
  int top = b.top;
  if (b.left == applied_.left && b.top == applied_.top) {
    left = now.left;
    top = now.top;
  }
  applied_ = b;
  SetWindowPos(Hwnd(), nullptr, left, top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::ApplyFrame() {
  const FormStyles styles = StylesOfForm(Form().BorderStyle(), Form().BorderIcons());
  const auto kept = static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_STYLE)) &
                    (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, static_cast<LONG_PTR>(styles.style | kept));
  SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE,
                    static_cast<LONG_PTR>(styles.ex_style | WS_EX_CONTROLPARENT));
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::HandActivationBack() {
  if (GetActiveWindow() != Hwnd()) return;
  HWND back = previous_active_;
  if (back != nullptr && back != Hwnd() && IsWindow(back) && IsWindowVisible(back) &&
      IsWindowEnabled(back)) {
    SetActiveWindow(back);
  }
}

void FormPeer::ForwardToDescendants(UINT message, WPARAM wparam, LPARAM lparam) {
  std::vector<HWND> descendants;
  EnumChildWindows(
      Hwnd(),
      [](HWND window, LPARAM list) CALLBACK -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&descendants));
  for (HWND window : descendants) {
    if (IsWindow(window)) SendMessageW(window, message, wparam, lparam);
  }
}

LRESULT FormPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      input::CloseBox(Form());
      return 0;
    case WM_ERASEBKGND:
      EraseWithColor(reinterpret_cast<HDC>(wparam), Form().Color());
      return 1;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && HIWORD(wparam) == 0) SyncFocus();
      return 0;
    case WM_SETFOCUS:
      // The window itself got the focus (on activation, say): it belongs to the focused control.
      SyncFocus();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another resolution (or that monitor's setting changed): laid out
      // anew at it, as on creation, and placed into the rectangle that the system suggests.
      const RECT suggested = *reinterpret_cast<const RECT*>(lparam);
      if (!Life().Survives(
              [&] { Form().ScaleToResolution(HIWORD(wparam), WindowPixelsPerInch(Hwnd())); })) {
        return 0;
      }
      SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      // The windows inside hear of it (Windows tells them itself only under the second version
      // of per-monitor awareness): their theme data are opened again at the new resolution.
      ForwardToDescendants(WM_DPICHANGED_AFTERPARENT, 0, 0);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      // The system tells top-level windows only; the controls inside must learn it too.
      ForwardToDescendants(message, wparam, lparam);
      InvalidateRect(Hwnd(), nullptr, TRUE);
      break;
    case WM_SIZE: {
      if (wparam == SIZE_MINIMIZED) break;
      {
        // The form's new bounds come from the window: they are not applied back to it.
        const TFlagScope resizing(resizing_, Life().Watch());
        if (!Life().Survives([&] { input::Resize(Form(), LOWORD(lparam), HIWORD(lparam)); })) {
          return 0;
        }
      }
      applied_ = Form().Bounds();
      return 0;
    }
    default:
      break;
  }
  return WindowPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
