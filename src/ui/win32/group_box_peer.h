// Group boxes: a system BUTTON with BS_GROUPBOX, subclassed like every peer, so that the
// notifications of the controls inside it reach their peers. The peer paints the box itself
// (etched frame, caption on the control's colour, grey when disabled): Wine's group box draws a
// disabled caption in the enabled colour. A screen reader knows it as a grouping named by its
// caption.
#pragma once

#include "ui/group_box.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/painted_peer.h"

namespace tvx::win32 {

class GroupBoxPeer : public PaintedPeer {
 public:
  GroupBoxPeer(Win32Backend& backend, TGroupBox& box)
      : PaintedPeer(backend, box, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc) override;
  const AccessibleSource* Accessibility() const override { return &accessible_; }

 private:
  CaptionAccessible accessible_{Control(), ROLE_SYSTEM_GROUPING};
};

}  // namespace tvx::win32
