// Bevels: a window of our own class that takes no input (it lets the mouse through to what
// lies below) and draws the control's shape: a box, a frame, or one line along an edge, in the
// shadow and light colours, lowered or raised; the rest shows the parent's colour. A screen
// reader knows it as a separator.
#pragma once

#include "ui/controls/bevel.h"
#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/peers/painted_peer.h"

namespace tvx::win32 {

class BevelPeer : public PaintedPeer {
 public:
  BevelPeer(Win32Backend& backend, TBevel& bevel)
      : PaintedPeer(backend, bevel, Background::kParentColor) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc) override;
  const AccessibleSource* Accessibility() const override { return &accessible_; }

 private:
  CaptionAccessible accessible_{Control(), ROLE_SYSTEM_SEPARATOR};
};

}  // namespace tvx::win32
