// The base of the peers whose windows paint themselves (labels, panels, bevels, group boxes,
// date fields, grids). It answers the painting messages once for all of them:
//   - WM_ERASEBKGND fills the client area with the background the peer asks for (the control's
//     colour or its parent's), or with nothing when Paint covers every pixel itself (a picture
//     drawn off-screen, which an erase beforehand would only make flicker);
//   - WM_PAINT hands the window's paint DC to Paint;
//   - WM_PRINTCLIENT erases the given DC the same way and paints into it, so the window can be
//     drawn into a bitmap as it appears on the screen.
// The window is drawn again whenever what Paint shows may have changed: the text, the font,
// the colour, the enabled state or the appearance of the control, when the window's keyboard
// cues change (WM_UPDATEUISTATE), and when the system's visual style or colours change
// (WM_THEMECHANGED, WM_SYSCOLORCHANGE) or the window's resolution does (WM_DPICHANGED_AFTERPARENT,
// which the form passes on to its windows: theme data hold the metrics of the resolution they
// were opened at), after ThemeChanged has let the peer drop what it drew them with.
#pragma once

#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

class PaintedPeer : public WindowPeer {
 public:
  // What WM_ERASEBKGND fills the client area with before Paint draws.
  enum class Background {
    kControlColor,  // the control's own colour
    kParentColor,   // the colour of the control's parent (the control's own without one)
    kPaintCovers,   // nothing: Paint covers every pixel
  };

  PaintedPeer(Win32Backend& backend, TControl& control, Background background)
      : WindowPeer(backend, control), background_(background) {}

  void Changed(ControlChange change) override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // Draws the client area into dc, over the erased background.
  virtual void Paint(HDC dc) = 0;
  // The visual style, the system's colours or the resolution changed: theme data and the like
  // are stale.
  virtual void ThemeChanged() {}

 private:
  void EraseBackground(HDC dc);

  Background background_;
};

}  // namespace tvx::win32
