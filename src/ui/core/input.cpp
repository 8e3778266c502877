#include "ui/core/input.h"

#include <utility>

#include "ui/core/application.h"
#include "ui/core/form.h"
#include "ui/core/win_control.h"

namespace tvx::input {

namespace {

// Runs one piece of input handling the way a window's message is handled.
template <class F>
void Guarded(F&& handle) {
  try {
    std::forward<F>(handle)();
  } catch (...) {
    Application()->HandleException(std::current_exception());
  }
}

// Moves the focus into a control that takes it on a click; false when the control that had
// the focus refused to let it go.
bool FocusForClick(TControl& control) {
  auto* window = dynamic_cast<TWinControl*>(&control);
  if (window == nullptr || !window->FocusOnClick()) return true;
  TCustomForm* form = control.ParentForm();
  form->FocusControl(window);
  return form->ActiveControl() == window;
}

}  // namespace

bool Click(TControl& control) {
  if (!control.Reachable()) return false;
  Guarded([&] {
    if (FocusForClick(control)) control.UserClick();
  });
  return true;
}

bool MouseDown(TControl& control, TMouseButton button, ShiftState shift, TPoint point) {
  if (!control.Reachable()) return false;
  Guarded([&] {
    if (FocusForClick(control)) control.DoMouseDown(button, shift, point);
  });
  return true;
}

void KeyDown(TCustomForm& form, KeyCode key, ShiftState shift) {
  if (!form.Reachable()) return;
  Guarded([&] {
    TWinControl* focused = form.ActiveControl();
    if (focused != nullptr && focused->Reachable() && focused->DoKeyDown(key, shift)) return;
    form.HandleDialogKey(key, shift);
  });
}

void Text(TCustomForm& form, const std::string& text) {
  if (!form.Reachable()) return;
  Guarded([&] {
    TWinControl* focused = form.ActiveControl();
    if (focused != nullptr && focused->Reachable()) focused->DoText(text);
  });
}

bool Focus(TWinControl& control) {
  if (!control.Reachable()) return false;
  TCustomForm* form = control.ParentForm();
  Guarded([&] { form->FocusControl(&control); });
  return form->ActiveControl() == &control;
}

void CloseBox(TCustomForm& form) {
  if (!form.Showing()) return;
  Guarded([&] { form.Close(); });
}

void Resize(TCustomForm& form, int32_t client_width, int32_t client_height) {
  Guarded([&] { form.SetClientSize(client_width, client_height); });
}

}  // namespace tvx::input
