#include "ui/win32/peers/painted_peer.h"

#include "ui/core/win_control.h"

namespace tvx::win32 {

void PaintedPeer::Changed(ControlChange change) {
  WindowPeer::Changed(change);
  if (Hwnd() == nullptr) return;
  switch (change) {
    case ControlChange::Text:
    case ControlChange::Font:
    case ControlChange::Color:
    case ControlChange::Enabled:
    case ControlChange::Appearance:
      InvalidateRect(Hwnd(), nullptr, TRUE);
      break;
    default:
      break;
  }
}

LRESULT PaintedPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Hwnd(), &ps);
      Paint(dc);
      EndPaint(Hwnd(), &ps);
      return 0;
    }
    case WM_UPDATEUISTATE: {
      // Focus rectangles and mnemonics came or went.
      const LRESULT result = WindowPeer::OnMessage(message, wparam, lparam);
      InvalidateRect(Hwnd(), nullptr, FALSE);
      return result;
    }
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
    case WM_DPICHANGED_AFTERPARENT:
      ThemeChanged();
      InvalidateRect(Hwnd(), nullptr, TRUE);
      return WindowPeer::OnMessage(message, wparam, lparam);
    case WM_PRINTCLIENT:
      EraseBackground(reinterpret_cast<HDC>(wparam));
      Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    default:
      return WindowPeer::OnMessage(message, wparam, lparam);
  }
}

void PaintedPeer::EraseBackground(HDC dc) {
  switch (background_) {
    case Background::kControlColor:
      EraseWithColor(dc, Control().Color());
      break;
    case Background::kParentColor: {
      const TWinControl* parent = Control().Parent();
      EraseWithColor(dc, parent != nullptr ? parent->Color() : Control().Color());
      break;
    }
    case Background::kPaintCovers:
      break;
  }
}

}  // namespace tvx::win32
