// Panels: a window of our own class that fills itself with the control's colour, draws its
// outer and inner bevels (raised: light top-left, shadow bottom-right; lowered: the reverse;
// each BevelWidth pixels, with BorderWidth of plain colour between them) and its caption,
// centred, grey while the panel is disabled. A screen reader knows it as a pane named by its
// caption, whose children are the windows inside it.
#pragma once

#include "ui/controls/panel.h"
#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/peers/painted_peer.h"

namespace tvx::win32 {

class PanelPeer : public PaintedPeer {
 public:
  PanelPeer(Win32Backend& backend, TPanel& panel)
      : PaintedPeer(backend, panel, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  void Paint(HDC dc) override;
  const AccessibleSource* Accessibility() const override { return &accessible_; }

 private:
  CaptionAccessible accessible_{Control(), ROLE_SYSTEM_PANE};
};

}  // namespace tvx::win32
