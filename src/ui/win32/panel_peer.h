// Panels: a window of our own class that fills itself with the control's colour, draws its
// outer and inner bevels (raised: light top-left, shadow bottom-right; lowered: the reverse;
// each BevelWidth pixels, with BorderWidth of plain colour between them) and its caption,
// centred, grey while the panel is disabled.
#pragma once

#include "ui/panel.h"
#include "ui/win32/painted_peer.h"

namespace tvx::win32 {

class PanelPeer : public PaintedPeer {
 public:
  PanelPeer(Win32Backend& backend, TPanel& panel)
      : PaintedPeer(backend, panel, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  void Paint(HDC dc) override;
};

}  // namespace tvx::win32
