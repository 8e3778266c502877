// The base of every native peer: one window that shows one control of the control layer.
//
// A peer is made in two steps: the backend constructs it (through the peer catalog) and then
// calls Create, which asks the virtual Kind() for the window class and its style bits, creates
// the window with the control's current text, bounds, font, enabled and visible state, and only
// then attaches itself to the window, so that no message reaches a half-built peer. Destroying
// the peer detaches it first and then destroys the window.
//
// Messages of the window (its own class's, or a system class's, which the peer subclasses) come
// to Dispatch. The base does what every peer shares:
//   - keys typed while the window has the focus go to the control layer (input::KeyDown and
//     input::Text for the control's form), never to the native window, so that the control
//     layer alone decides what Tab, the arrows, Space, Enter and Escape do;
//   - keys that move the focus show the focus rectangles, and Alt the mnemonics, of the whole
//     top-level window (WM_CHANGEUISTATE), as a system dialog does once the keyboard is used;
//   - a focus change made by the user is reported (input::Focus); one that the backend makes
//     to follow the control layer is not;
//   - notifications that a child window sends to its parent (WM_COMMAND, WM_NOTIFY,
//     WM_CTLCOLOR*, WM_DRAWITEM, scroll messages) are handed back to the child's peer
//     (OnNotify), whatever window the parent is;
//   - mouse buttons pressed over a window of one of our own classes go to input::MouseDown;
//   - WM_GETOBJECT for the client area is answered with what the class tells a screen reader
//     (Accessibility), when it tells anything;
//   - an exception that a handler lets out is caught here and never crosses the window
//     procedure (see Win32Backend::ReportEscaped).
// Changed(change) mirrors the control's state: text, bounds, enabled, visible, font, colour;
// classes add what is theirs (the check of a radio button, the bevels of a panel).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "rtl/life_mark.h"
#include "ui/core/backend.h"
#include "ui/core/control.h"
#include "ui/win32/accessibility/accessible.h"
#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

class Win32Backend;

// The window a peer makes.
struct WindowKind {
  // A system class ("BUTTON", "STATIC", ...) or one of ours.
  std::wstring class_name;
  // Ours: the backend registers it (once) with the peers' window procedure.
  bool own_class = false;
  // Class style for our own classes (CS_DBLCLKS, ...).
  UINT class_style = 0;
  // The style bits of the class; the peer adds WS_CHILD (or the form's frame), WS_VISIBLE,
  // WS_DISABLED, WS_TABSTOP, WS_GROUP and WS_CLIPSIBLINGS from the control's state.
  DWORD style = 0;
  DWORD ex_style = 0;
};

class WindowPeer : public ControlPeer {
 public:
  WindowPeer(Win32Backend& backend, TControl& control);
  ~WindowPeer() override;
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  // Creates the window: a child of `parent`, or for a top-level peer a window owned by it
  // (null: no owner). Raises EInvalidOperation when Windows refuses.
  void Create(HWND parent);

  // The window procedure of every peer (the class procedure of our own classes).
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  WindowHandle Handle() const override { return AsHandle(hwnd_); }
  HWND Hwnd() const { return hwnd_; }
  TControl& Control() const { return control_; }
  Win32Backend& Backend() const { return backend_; }
  // A length at 96 pixels per inch at the resolution the control's form is laid out at (which
  // follows the monitor the form is on).
  int ScaledToForm(int design_pixels) const;
  void Changed(ControlChange change) override;

  // The peer attached to a window of this module, or null.
  static WindowPeer* FromHandle(HWND hwnd);
  // The peer of a control (null when it has none or it is not a window peer).
  static WindowPeer* Of(const TControl* control);

  // Sets WS_TABSTOP and WS_GROUP as the control layer has them: a tab stop when the control
  // is one (IsTabStop), and a group start on every windowed control except a radio button
  // that follows another radio button in Tab order (so the radio buttons of a parent form one
  // group, and the arrow keys of a dialog manager would stay in it).
  void RefreshNavigation();

 protected:
  virtual WindowKind Kind() const = 0;
  // A top-level window (a form): Create makes a window owned by the given one.
  virtual bool IsTopLevel() const { return false; }
  // Runs once the window exists and the peer is attached, before the window is shown.
  virtual void Created() {}
  // The window's messages, after the shared handling; the default hands them on.
  virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // The original window procedure of the class (DefWindowProcW for our own classes).
  LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam);
  // A notification that this window sent to its parent, handed back; nullopt leaves it to the
  // parent's default handling. The default answers WM_CTLCOLOR* with ControlColors.
  virtual std::optional<LRESULT> OnNotify(UINT message, WPARAM wparam, LPARAM lparam);
  // Text and background colours of the window (WM_CTLCOLOR*): the font's colour on the
  // control's colour.
  virtual HBRUSH ControlColors(HDC dc);
  // Keys typed while this window has the focus go to the native window instead of the control
  // layer (for a peer built on a native editing control).
  virtual bool TakesNativeKeys() const { return false; }
  // The window's own class paints its background with the control's colour.
  void EraseWithColor(HDC dc, TColor color);

  // Ends with the peer. Every call from a handler into the control layer, which may free the
  // control and with it the peer (a click that closes the form), goes through
  // Life().Survives(...), and the handler returns at once when it reports false.
  const TLifeMark& Life() const { return life_; }

  // What a screen reader learns of the window; null leaves WM_GETOBJECT to the system.
  virtual const AccessibleSource* Accessibility() const { return nullptr; }
  // Tells screen readers that an element of the window changed (nothing before the window
  // exists or for a class that describes nothing).
  void RaiseAccessible(DWORD event, const AccessiblePath& path = {}) const;
  // Disconnects the objects handed to screen readers. A class whose Accessibility is itself
  // calls this first in its destructor, before its own parts go.
  void EndAccessibility() { accessible_.reset(); }

  // The style bits the control's state gives (WS_VISIBLE, WS_DISABLED, tab stop, group).
  DWORD StateStyle() const;

 private:
  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleKey(UINT message, WPARAM wparam, LPARAM lparam);
  // Clears the given UISF_HIDE* flags of the top-level window, where they are set.
  void ShowKeyboardCues(WORD cues) const;
  void FocusArrived();
  // Before a native control handles a press of the primary button: false when the control
  // layer kept the focus elsewhere, and the press is to go no further.
  bool FocusBeforePress();
  void Detach();
  void ApplyBounds();

  Win32Backend& backend_;
  TControl& control_;
  HWND hwnd_ = nullptr;
  WNDPROC native_proc_ = nullptr;
  bool own_class_ = false;
  // The font of a window of our own class (WM_SETFONT, WM_GETFONT).
  HFONT font_ = nullptr;
  // The high half of a character outside the basic plane, waiting for its low half.
  wchar_t pending_surrogate_ = 0;
  TLifeMark life_;
  std::unique_ptr<AccessibleWindow> accessible_;
};

}  // namespace tvx::win32
