// Radio buttons: a system BUTTON with BS_RADIOBUTTON, which does not check itself: the control
// layer checks it (on the click that BN_CLICKED reports, or on the keys it handles) and the
// peer shows the check (BM_SETCHECK). A change of the check moves the group's tab stop, so the
// peers of the whole group refresh WS_TABSTOP.
#pragma once

#include "ui/controls/radio_button.h"
#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

class RadioButtonPeer : public WindowPeer {
 public:
  RadioButtonPeer(Win32Backend& backend, TRadioButton& radio) : WindowPeer(backend, radio) {}
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  void Created() override;
  std::optional<LRESULT> OnNotify(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  TRadioButton& Radio() const { return static_cast<TRadioButton&>(Control()); }
  void ShowCheck();
};

}  // namespace tvx::win32
