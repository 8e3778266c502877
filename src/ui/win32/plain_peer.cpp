#include "ui/win32/plain_peer.h"

namespace tvx::win32 {

WindowKind PlainPeer::Kind() const {
  WindowKind kind;
  kind.class_name = L"TavolexControl";
  kind.own_class = true;
  kind.class_style = CS_DBLCLKS;
  kind.style = WS_CLIPCHILDREN;
  kind.ex_style = WS_EX_CONTROLPARENT;
  return kind;
}

LRESULT PlainPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    EraseWithColor(reinterpret_cast<HDC>(wparam), Control().Color());
    return 1;
  }
  return WindowPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
