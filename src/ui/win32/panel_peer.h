// Panels: a window of our own class that fills itself with the control's colour, draws its
// outer and inner bevels (raised: light top-left, shadow bottom-right; lowered: the reverse;
// each BevelWidth pixels, with BorderWidth of plain colour between them) and its caption,
// centred, grey while the panel is disabled.
#pragma once

#include "ui/panel.h"
#include "ui/win32/window_peer.h"

namespace tvx::win32 {

class PanelPeer : public WindowPeer {
 public:
  PanelPeer(Win32Backend& backend, TPanel& panel) : WindowPeer(backend, panel) {}
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint(HDC dc);
};

}  // namespace tvx::win32
