// Group boxes: a system BUTTON with BS_GROUPBOX, subclassed like every peer, so that the
// notifications of the controls inside it reach their peers. The peer paints the box itself:
// with the visual style's group-box frame and caption where a theme is active, else the
// classic etched frame and the caption on the control's colour, grey when disabled (Wine's group
// box draws a disabled caption in the enabled colour). A screen reader knows it as a grouping
// named by its caption, whose children are the windows inside it.
#pragma once

#include "ui/controls/group_box.h"
#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/peers/painted_peer.h"
#include "ui/win32/theme/window_theme.h"

namespace tvx::win32 {

class GroupBoxPeer : public PaintedPeer {
 public:
  GroupBoxPeer(Win32Backend& backend, TGroupBox& box)
      : PaintedPeer(backend, box, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc) override;
  void ThemeChanged() override { theme_.Forget(); }
  const AccessibleSource* Accessibility() const override { return &accessible_; }

 private:
  // The caption's colour: the style's where one draws the box, else the classic one.
  COLORREF CaptionColor(bool themed);

  CaptionAccessible accessible_{Control(), ROLE_SYSTEM_GROUPING};
  WindowTheme theme_{L"BUTTON"};
};

}  // namespace tvx::win32
