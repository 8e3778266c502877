// What the user does, as a backend reports it to the control layer. Each entry runs the
// control layer's behaviour; an exception that escapes it goes to the application's
// exception handling, as for any event handler of a window. Input for a control that the
// user cannot reach (itself or a parent hidden or disabled, or its form not shown) is
// ignored.
#pragma once

#include <string>

#include "ui/core/control.h"
#include "ui/core/keys.h"

namespace tvx {

class TCustomForm;
class TWinControl;

namespace input {

// A click with the primary button: the focus moves into the control when it takes the focus
// on a click (if the control that had the focus refuses to let it go, the click ends there),
// then the control's UserClick runs. Returns whether the control was reached.
bool Click(TControl& control);
// A mouse button pressed over a point of the control's client area: focus as for Click,
// then the control's DoMouseDown.
bool MouseDown(TControl& control, TMouseButton button, ShiftState shift, TPoint point);
// A key pressed while `form` is active: the focused control's DoKeyDown sees it first; keys
// it leaves go to the form's dialog keys (Tab, Shift+Tab, Enter, Escape).
void KeyDown(TCustomForm& form, KeyCode key, ShiftState shift);
// Text typed while `form` is active (UTF-8), for the focused control's DoText.
void Text(TCustomForm& form, const std::string& text);
// The window system moved the focus into a control. Returns whether it took it.
bool Focus(TWinControl& control);
// The close box of the form's title bar (or Alt+F4).
void CloseBox(TCustomForm& form);
// The user resized the form's window to a new client size.
void Resize(TCustomForm& form, int32_t client_width, int32_t client_height);

}  // namespace input
}  // namespace tvx
