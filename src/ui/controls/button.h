// Push buttons: a click fires OnClick and, with a ModalResult, ends the form's modal loop.
#pragma once

#include "ui/core/win_control.h"

namespace tvx {

class TButton : public TWinControl {
  TVX_DECLARE_CLASS(TButton, TWinControl)

  explicit TButton(TComponent* owner);

  // Given to the form's ModalResult on a click (before OnClick fires); mrNone gives nothing.
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  // The button that Enter clicks when the focused control does not use the key.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // The button that Escape clicks.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }

  void Click() override;
  bool FocusOnClick() const override { return true; }
  // Space and Enter click the focused button.
  bool DoKeyDown(KeyCode key, ShiftState shift) override;

 protected:
  ~TButton() override = default;

 private:
  TModalResult modal_result_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

}  // namespace tvx
