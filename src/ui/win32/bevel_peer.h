// Bevels: a window of our own class that takes no input (it lets the mouse through to what
// lies below) and draws the control's shape: a box, a frame, or one line along an edge, in the
// shadow and light colours, lowered or raised; the rest shows the parent's colour.
#pragma once

#include "ui/bevel.h"
#include "ui/win32/window_peer.h"

namespace tvx::win32 {

class BevelPeer : public WindowPeer {
 public:
  BevelPeer(Win32Backend& backend, TBevel& bevel) : WindowPeer(backend, bevel) {}
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint(HDC dc);
};

}  // namespace tvx::win32
