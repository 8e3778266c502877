#include "ui/win32/label_peer.h"

#include "ui/input.h"

namespace tvx::win32 {

WindowKind LabelPeer::Kind() const {
  WindowKind kind;
  kind.class_name = L"STATIC";
  kind.style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
  return kind;
}

std::optional<LRESULT> LabelPeer::OnNotify(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == STN_CLICKED) {
    input::Click(Control());
    return 0;
  }
  return WindowPeer::OnNotify(message, wparam, lparam);
}

}  // namespace tvx::win32
