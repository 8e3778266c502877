// Labels: a window of our own class that paints one line of text as it is (no '&' prefixes, no
// wrapping) in the control's font and colours, grey when the label is disabled. An auto-sized
// label is as wide as the backend measures its text; under Wine the system draws some fonts
// (bold Tahoma among them) a few pixels wider than it measures them, and the last character would
// be cut off. Such a text is drawn with each character where the measurement puts it; any other
// is drawn as the system lays it out. A press of the mouse button on the label is a click,
// reported to the control layer. A screen reader reads it as static text.
#pragma once

#include "ui/controls/label.h"
#include "ui/win32/accessibility/accessible.h"
#include "ui/win32/peers/painted_peer.h"

namespace tvx::win32 {

class LabelPeer : public PaintedPeer, private AccessibleSource {
 public:
  LabelPeer(Win32Backend& backend, TLabel& label)
      : PaintedPeer(backend, label, Background::kControlColor) {}

 protected:
  WindowKind Kind() const override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc) override;
  const AccessibleSource* Accessibility() const override { return this; }
  void Changed(ControlChange change) override;

 private:
  AccessibleItem Describe(const AccessiblePath& path) const override;
};

}  // namespace tvx::win32
