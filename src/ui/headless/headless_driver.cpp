#include "ui/headless/headless_driver.h"

#include "ui/core/input.h"

namespace tvx::headless {

HeadlessDriver::HeadlessDriver() { previous_ = SetUiBackend(&backend_); }

HeadlessDriver::~HeadlessDriver() { SetUiBackend(previous_); }

TCustomForm& HeadlessDriver::ActiveForm() {
  TCustomForm* form = tvx::ActiveForm();
  if (form == nullptr) backend_.Fail("no form is shown");
  return *form;
}

TControl& HeadlessDriver::Find(const std::string& name) {
  TCustomForm& form = ActiveForm();
  TControl* control = form.FindChildControl(name);
  if (control == nullptr) {
    backend_.Fail("form '" + form.Name() + "' has no control named '" + name + "'");
  }
  return *control;
}

std::string HeadlessDriver::Describe(const TControl& control) const {
  return "'" + (control.Name().empty() ? control.ClassName() : control.Name()) + "'";
}

bool HeadlessDriver::TryClick(TControl& control) {
  if (control.ParentForm() != tvx::ActiveForm()) return false;
  return input::Click(control);
}

void HeadlessDriver::Click(TControl& control) {
  if (control.ParentForm() != tvx::ActiveForm()) {
    backend_.Fail("cannot click " + Describe(control) + ": its form is not the active form");
  }
  if (!input::Click(control)) {
    backend_.Fail("cannot click " + Describe(control) +
                  ": it (or a control that holds it) is hidden or disabled");
  }
}

void HeadlessDriver::Press(KeyCode key, ShiftState shift) {
  input::KeyDown(ActiveForm(), key, shift);
}

void HeadlessDriver::Type(const std::string& text) { input::Text(ActiveForm(), text); }

bool HeadlessDriver::Focus(TWinControl& control) { return input::Focus(control); }

void HeadlessDriver::CloseBox(TCustomForm& form) {
  if (!form.Showing()) backend_.Fail("cannot close form " + Describe(form) + ": it is not shown");
  input::CloseBox(form);
}

void HeadlessDriver::Resize(TCustomForm& form, int32_t client_width, int32_t client_height) {
  input::Resize(form, client_width, client_height);
}

TWinControl* HeadlessDriver::Focused() {
  TCustomForm* form = tvx::ActiveForm();
  return form != nullptr ? form->ActiveControl() : nullptr;
}

}  // namespace tvx::headless
