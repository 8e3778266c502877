// A plain window of our own class filled with the control's colour: the peer of a control
// class that has no peer of its own (a container of another kind, say). It takes part in focus,
// keys and mouse input like every peer.
#pragma once

#include "ui/win32/peers/painted_peer.h"

namespace tvx::win32 {

class PlainPeer : public PaintedPeer {
 public:
  PlainPeer(Win32Backend& backend, TControl& control)
      : PaintedPeer(backend, control, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  // Nothing is drawn over the background.
  void Paint(HDC /*dc*/) override {}
};

}  // namespace tvx::win32
