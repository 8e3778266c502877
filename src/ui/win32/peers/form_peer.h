// Forms: a top-level window of our own class, owned by the window the control layer gives
// (the application's), with the frame of the form's border style and icons. The peer shows the
// window once all the form's controls have their windows (ordering them first), keeps the
// native focus on the control layer's focused control, turns the close box into the control
// layer's close (WM_CLOSE never destroys the window by itself), reports the user's resizing,
// and when the form is hidden gives the activation back to the window that had it before. A form
// is laid out at its own window's resolution when it is first shown and whenever the window
// moves to a monitor of another resolution (WM_DPICHANGED); the windows inside are told, so that
// they open their theme data again.
#pragma once

#include "ui/core/form.h"
#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

class FormPeer : public WindowPeer {
 public:
  FormPeer(Win32Backend& backend, TCustomForm& form) : WindowPeer(backend, form) {}
  ~FormPeer() override;
  void Changed(ControlChange change) override;

 protected:
  WindowKind Kind() const override;
  bool IsTopLevel() const override { return true; }
  void Created() override;
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  TCustomForm& Form() const { return static_cast<TCustomForm&>(Control()); }
  void SyncFocus();
  // Lays the form out at the resolution its window opened at, where that is not the one it
  // loaded at (the system's); false when the form went meanwhile.
  bool TakeWindowResolution();
  // Sends a message to every window inside the form, in the order the system lists them.
  void ForwardToDescendants(UINT message, WPARAM wparam, LPARAM lparam);
  void ApplyBounds();
  void ApplyFrame();
  void HandActivationBack();

  // The window that was active when the form was shown.
  HWND previous_active_ = nullptr;
  // Set while the control layer follows a size the user gave the window.
  bool resizing_ = false;
  // The bounds last given to the window: a window the user has moved keeps its place when the
  // control layer changes only its size.
  TBounds applied_;
};

}  // namespace tvx::win32
