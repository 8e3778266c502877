// Group boxes: a system BUTTON with BS_GROUPBOX, subclassed like every peer, so that the
// notifications of the controls inside it reach their peers. A group box paints only its
// frame and caption; the peer fills the inside with the control's colour.
#pragma once

#include "ui/group_box.h"
#include "ui/win32/window_peer.h"

namespace tvx::win32 {

class GroupBoxPeer : public WindowPeer {
 public:
  GroupBoxPeer(Win32Backend& backend, TGroupBox& box) : WindowPeer(backend, box) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace tvx::win32
