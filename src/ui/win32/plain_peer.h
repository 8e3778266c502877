// A plain window of our own class filled with the control's colour: the peer of a control
// class that has no peer of its own (a container of another kind, say). It takes part in focus,
// keys and mouse input like every peer.
#pragma once

#include "ui/win32/window_peer.h"

namespace tvx::win32 {

class PlainPeer : public WindowPeer {
 public:
  PlainPeer(Win32Backend& backend, TControl& control) : WindowPeer(backend, control) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace tvx::win32
