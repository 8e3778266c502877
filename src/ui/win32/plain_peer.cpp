#include "ui/win32/plain_peer.h"

namespace tvx::win32 {

WindowKind PlainPeer::Kind() const {
  WindowKind spec;
  spec.class_name = L"TavolexControl";
  spec.own_class = true;
  spec.class_style = CS_DBLCLKS;
  spec.style = WS_CLIPCHILDREN;
  spec.ex_style = WS_EX_CONTROLPARENT;
  return spec;
}

LRESULT PlainPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) {
    EraseWithColor(reinterpret_cast<HDC>(wparam), Control().Color());
    return 1;
  }
  return WindowPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
