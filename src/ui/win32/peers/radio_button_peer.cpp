#include "ui/win32/peers/radio_button_peer.h"

#include "ui/core/input.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

WindowKind RadioButtonPeer::Kind() const {
  return {.class_name = L"BUTTON", .style = BS_RADIOBUTTON | BS_TEXT};
}

void RadioButtonPeer::Created() { ShowCheck(); }

void RadioButtonPeer::ShowCheck() {
  SendMessageW(Hwnd(), BM_SETCHECK, Radio().Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioButtonPeer::Changed(ControlChange change) {
  WindowPeer::Changed(change);
  if (Hwnd() == nullptr) return;
  if (change == ControlChange::Checked) ShowCheck();
  if (change == ControlChange::Checked || change == ControlChange::Enabled ||
      change == ControlChange::Visible) {
    for (TRadioButton* radio : Radio().Group()) {
      if (WindowPeer* peer = WindowPeer::Of(radio)) peer->RefreshNavigation();
    }
  }
}

std::optional<LRESULT> RadioButtonPeer::OnNotify(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    // A radio button that takes the focus other than by the mouse reports a click of its own;
    // when the backend moved the focus there, that is no click of the user's.
    if (!Backend().SettingFocus()) input::Click(Control());
    return 0;
  }
  return WindowPeer::OnNotify(message, wparam, lparam);
}

}  // namespace tvx::win32
