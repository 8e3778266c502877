// Labels: a system STATIC showing one line of text as it is (no '&' prefixes, no wrapping),
// in the control's font and colours; a disabled label is drawn grey by the STATIC itself. The
// control layer sizes an auto-sized label by the backend's text measurement, which uses the
// same font. A click reaches the control layer (SS_NOTIFY).
#pragma once

#include "ui/label.h"
#include "ui/win32/window_peer.h"

namespace tvx::win32 {

class LabelPeer : public WindowPeer {
 public:
  LabelPeer(Win32Backend& backend, TLabel& label) : WindowPeer(backend, label) {}

 protected:
  WindowKind Kind() const override;
  std::optional<LRESULT> OnNotify(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace tvx::win32
