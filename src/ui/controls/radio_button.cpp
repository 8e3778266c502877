#include "ui/controls/radio_button.h"

#include <algorithm>

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TRadioButton) { TVX_PROPERTY(Checked); }

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  InitBounds(TBounds{0, 0, 113, 17});
}

std::vector<TRadioButton*> TRadioButton::Group() const {
  if (Parent() == nullptr) return {const_cast<TRadioButton*>(this)};
  std::vector<TRadioButton*> group;
  for (TWinControl* control : Parent()->TabList()) {
    if (auto* radio = dynamic_cast<TRadioButton*>(control)) group.push_back(radio);
  }
  return group;
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  Changed(ControlChange::Checked);
  if (!value) return;
  for (TRadioButton* other : Group()) {
    if (other != this) other->SetChecked(false);
  }
  if (!Loading()) Click();
}

bool TRadioButton::IsTabStop() const {
  if (checked_) return true;
  const std::vector<TRadioButton*> group = Group();
  if (std::any_of(group.begin(), group.end(), [](TRadioButton* r) { return r->checked_; })) {
    return false;
  }
  // None checked: the group is still reached, at its first button that can take the focus.
  for (TRadioButton* radio : group) {
    if (radio->CanFocus()) return radio == this;
  }
  return false;
}

bool TRadioButton::DoKeyDown(KeyCode key, ShiftState shift) {
  if (shift != kNoShift) return false;
  if (key == kVkSpace) {
    UserClick();
    return true;
  }
  const bool forward = key == kVkDown || key == kVkRight;
  if (!forward && key != kVkUp && key != kVkLeft) return false;
  const std::vector<TRadioButton*> group = Group();
  const auto count = static_cast<std::ptrdiff_t>(group.size());
  const std::ptrdiff_t start = std::find(group.begin(), group.end(), this) - group.begin();
  for (std::ptrdiff_t step = 1; step < count; ++step) {
    const std::ptrdiff_t i = ((forward ? start + step : start - step) % count + count) % count;
    TRadioButton* next = group[static_cast<size_t>(i)];
    if (next->CanFocus()) {
      next->SetFocus();
      next->SetChecked(true);
      break;
    }
  }
  return true;
}

}  // namespace tvx
