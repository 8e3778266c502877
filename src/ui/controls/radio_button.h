// Radio buttons. The radio buttons of one parent form a group: checking one clears the
// others, and only the checked one is a Tab stop (the first one, while none is checked).
// OnClick fires when a radio button becomes checked.
#pragma once

#include <vector>

#include "ui/core/win_control.h"

namespace tvx {

class TRadioButton : public TWinControl {
  TVX_DECLARE_CLASS(TRadioButton, TWinControl)

  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  void SetChecked(bool value);

  // The radio buttons of the group, this one included, in Tab order.
  std::vector<TRadioButton*> Group() const;

  bool IsTabStop() const override;
  bool FocusOnClick() const override { return true; }
  void UserClick() override { SetChecked(true); }
  // Space checks the focused button; the arrow keys move the focus to the previous or next
  // button of the group that can take it, and check it.
  bool DoKeyDown(KeyCode key, ShiftState shift) override;

 protected:
  ~TRadioButton() override = default;

 private:
  bool checked_ = false;
};

}  // namespace tvx
