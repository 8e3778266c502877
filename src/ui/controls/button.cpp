#include "ui/controls/button.h"

#include "classes/class_builder.h"
#include "ui/core/form.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TButton) {
  TVX_PROPERTY(ModalResult);
  TVX_PROPERTY(Default);
  TVX_PROPERTY(Cancel);
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  InitBounds(TBounds{0, 0, 75, 25});
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  Changed(ControlChange::Appearance);
}

void TButton::Click() {
  if (TCustomForm* form = ParentForm(); form != nullptr && modal_result_ != mrNone) {
    form->SetModalResult(modal_result_);
  }
  TWinControl::Click();
}

bool TButton::DoKeyDown(KeyCode key, ShiftState shift) {
  if ((key == kVkSpace || key == kVkReturn) && shift == kNoShift) {
    UserClick();
    return true;
  }
  return false;
}

}  // namespace tvx
