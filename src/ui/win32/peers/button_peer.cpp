#include "ui/win32/peers/button_peer.h"

#include "ui/core/input.h"

namespace tvx::win32 {

DWORD ButtonPeer::ButtonStyle() const {
  return static_cast<const TButton&>(Control()).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

WindowKind ButtonPeer::Kind() const {
  return {.class_name = L"BUTTON", .style = ButtonStyle() | BS_TEXT};
}

void ButtonPeer::Changed(ControlChange change) {
  if (change == ControlChange::Appearance && Hwnd() != nullptr) {
    SendMessageW(Hwnd(), BM_SETSTYLE, ButtonStyle(), TRUE);
  }
  WindowPeer::Changed(change);
}

std::optional<LRESULT> ButtonPeer::OnNotify(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    input::Click(Control());
    return 0;
  }
  return WindowPeer::OnNotify(message, wparam, lparam);
}

}  // namespace tvx::win32
