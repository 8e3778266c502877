#include "ui/win32/group_box_peer.h"

namespace tvx::win32 {

WindowKind GroupBoxPeer::Kind() const {
  WindowKind kind;
  kind.class_name = L"BUTTON";
  kind.style = BS_GROUPBOX | WS_CLIPCHILDREN;
  kind.ex_style = WS_EX_CONTROLPARENT;
  return kind;
}

LRESULT GroupBoxPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    EraseWithColor(reinterpret_cast<HDC>(wparam), Control().Color());
    return 1;
  }
  return WindowPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
