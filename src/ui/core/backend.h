// The interface between the control layer and whatever shows its windows.
//
// Controls own their state and decide every behaviour; a backend gives a shown form and
// its controls native peers, tells the control layer what the user did (see input.h),
// runs the message loop, carries posted messages, shows message boxes and measures text.
// One backend is installed for the whole module (SetUiBackend).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/core/ui_types.h"

namespace tvx {

class TControl;
class TCustomForm;
class TFont;

// What changed in a control; the peer reads the new state from the control itself.
enum class ControlChange {
  Text,        // Caption or text
  Bounds,      // position or size
  Enabled,     // the control's own Enabled
  Visible,     // the control's own Visible
  Font,        // the font in effect (own or the parent's)
  Color,       // background colour
  Checked,     // check state of a radio button
  Appearance,  // anything else drawn: bevels, shape, border style, default/cancel marks
  Focus,       // sent to a form's peer: its focused control changed
  TabOrder,    // sent to a container's peer: the Tab order of its windowed children, or which
               // of them are Tab stops, changed
  Content,     // control-specific content (rows of a grid, drop-down state, ...)
};

// The native counterpart of one control while its form is shown. Created by the backend
// when the form is shown (parents before children) and destroyed when it is hidden or
// freed (children before parents).
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  // The native window of the peer, or 0 when it has none.
  virtual WindowHandle Handle() const = 0;
  virtual void Changed(ControlChange change) = 0;
};

// The kind of a message box, which gives its icon and its usual title.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// One message box as it is asked of the backend. The result is the modal result of the
// button chosen (mrOk, mrCancel, mrYes, mrNo); closing a box with a Cancel button gives
// mrCancel, closing one with only OK gives mrOk.
struct MessageBoxRequest {
  TMsgDlgType kind = TMsgDlgType::mtInformation;
  std::string title;
  std::string text;
  TMsgDlgButtons buttons{mbOK};
  // The application's window. A backend with real windows owns the box by the active modal
  // form instead, when a form is modal, so that the activation goes back to it.
  WindowHandle owner = 0;
};

// Thickness of a form's frame (borders and title bar) around its client area.
struct FrameInsets {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Gives a control of a form being shown its native peer. A form's peer is a top-level
  // window owned by `owner` (the application's window); a child's peer lives in its
  // parent's peer, which already exists.
  virtual std::unique_ptr<ControlPeer> CreatePeer(TControl& control, WindowHandle owner) = 0;

  // A form starts and ends its modal loop: the backend keeps input away from the other
  // windows meanwhile.
  virtual void BeginModal(TCustomForm& form) = 0;
  virtual void EndModal(TCustomForm& form) = 0;

  // The message loop: handle one message, waiting for one when none is pending.
  virtual void HandleMessage() = 0;
  // Handle every pending message without waiting.
  virtual void ProcessMessages() = 0;
  // Queue a task to run when the message loop next handles messages.
  virtual void Post(std::function<void()> task) = 0;

  virtual TModalResult ShowMessageBox(const MessageBoxRequest& request) = 0;

  // Size of one line of text in a font, in pixels.
  virtual TSize MeasureText(const std::string& text, const TFont& font) = 0;
  // The frame of a form's window at a resolution (0: the system's).
  virtual FrameInsets FormFrame(TFormBorderStyle style, TBorderIcons icons,
                                int frame_pixels_per_inch) = 0;
  // The screen area available to windows, and the screen's resolution.
  virtual TRect WorkArea() = 0;
  virtual int ScreenPixelsPerInch() = 0;
};

// The installed backend; raises EInvalidOperation when none is installed.
Backend& UiBackend();
bool HasUiBackend();
// Installs a backend (nullptr removes it) and returns the one installed before.
Backend* SetUiBackend(Backend* backend);

}  // namespace tvx
