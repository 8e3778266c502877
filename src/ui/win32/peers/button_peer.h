// Push buttons: a system BUTTON. A click (BN_CLICKED) goes to the control layer as the user's
// click; BS_DEFPUSHBUTTON shows the control layer's Default and nothing else.
#pragma once

#include "ui/controls/button.h"
#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

class ButtonPeer : public WindowPeer {
 public:
  ButtonPeer(Win32Backend& backend, TButton& button) : WindowPeer(backend, button) {}
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  std::optional<LRESULT> OnNotify(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  DWORD ButtonStyle() const;
};

}  // namespace tvx::win32
