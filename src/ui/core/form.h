// Top-level windows: caption, frame, position, client size, the focused control, modal
// showing with its result, closing and deferred release.
//
// Creation (through Create<T>(owner)): the constructors; then AfterConstruction applies the
// stored descriptions of the classes below TForm down to the object's own class (a class
// below TForm without any raises EResNotFound "Resource not found: <class name>"; an object
// of class TForm itself, or one made with kCreateNew, applies none) and fires OnCreate.
// Destruction (through Free, or Release): OnDestroy fires first, then the form is hidden and
// its controls and owned components are freed. Exceptions from OnCreate and OnDestroy go to
// the application's exception handling; creation or destruction goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "rtl/life_mark.h"
#include "ui/core/win_control.h"

namespace tvx {

class TButton;

// Passed to a form's constructor to create it without applying any stored description.
struct TCreateNew {};
inline constexpr TCreateNew kCreateNew{};

class TCustomForm : public TWinControl {
  TVX_DECLARE_CLASS(TCustomForm, TWinControl)

  explicit TCustomForm(TComponent* owner);
  TCustomForm(TComponent* owner, TCreateNew);

  // The native window while shown, else 0.
  WindowHandle Handle() const;

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }

  // The client area is the bounds less the frame that the border style gives.
  TSize ClientSize() const override;
  void SetClientWidth(int32_t width);
  void SetClientHeight(int32_t height);
  void SetClientSize(int32_t width, int32_t height);

  // The resolution the form was designed at, and whether it scales from there to the
  // screen's resolution when its description has been applied. Once scaled, the resolution it
  // is laid out at.
  int32_t PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int32_t value) { pixels_per_inch_ = value; }
  // Lays the form out anew at a resolution, as it was scaled from its design (fonts, bounds,
  // the client size), with the frame of its window at frame_pixels_per_inch (0: the
  // system's), as a window moved to a monitor of another resolution needs.
  void ScaleToResolution(int32_t pixels_per_inch, int32_t frame_pixels_per_inch);
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  // The design font's text height; kept for the description, no effect of its own.
  int32_t TextHeight() const { return text_height_; }
  void SetTextHeight(int32_t value) { text_height_ = value; }

  bool OldCreateOrder() const { return old_create_order_; }
  void SetOldCreateOrder(bool value) { old_create_order_ = value; }
  TNotifyEvent& OnCreate() { return on_create_; }
  TNotifyEvent& OnDestroy() { return on_destroy_; }

  // The control that has (or, while the form is hidden, will have) the focus. Setting it
  // raises EInvalidOperation when the control is not in this form or cannot take the focus.
  TWinControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to control (null: to the form itself). The control that loses the focus
  // may refuse (its DoExit raises); the focus then stays and the error passes on.
  void FocusControl(TWinControl* control);
  // Whether the form is the active one (the last shown of the forms that are shown).
  bool Active() const;

  // Shows the form modally: runs the application's message loop until ModalResult is not
  // mrNone (or the application is terminating, which gives mrCancel), then hides the form and
  // returns the result. Raises EInvalidOperation for a form that is already shown.
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modal_result_; }
  // Ends the modal loop with this result once the current message has been handled.
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  // Closing by the close box: a modal form ends with mrCancel; another form is hidden.
  void Close();
  // Frees the form when the message loop next handles messages (after the running handler
  // has returned). A form still in its modal loop is freed once the loop has ended. Until then
  // the form is among the released forms that FreeReleasedForms frees at once.
  void Release();

  // The default (Enter) and cancel (Escape) buttons: the first reachable button inside the
  // form, in Tab order, with Default or Cancel set.
  TButton* DefaultButton() const;
  TButton* CancelButton() const;
  // Keys that the focused control left alone: Tab and Shift+Tab move the focus, Enter clicks
  // the default button, Escape the cancel button. Returns whether the key was used.
  bool HandleDialogKey(KeyCode key, ShiftState shift);

  void SetVisible(bool visible) override;

  // For the form's controls alone: `control` (one inside the form) was hidden, disabled or
  // taken out, and the focus leaves it if it held it.
  void ControlHiddenOrRemoved(TPassKey<TControl>, const TControl* control);

 protected:
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void ChangeScale(int32_t m, int32_t d) override;
  virtual void DoCreate();
  virtual void DoDestroy();

 private:
  void ShowWindow();
  void HideWindow();
  void FocusChangedNotify();
  TButton* FindButton(bool want_default) const;
  FrameInsets Frame() const;
  int32_t frame_pixels_per_inch_ = 0;

  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TBorderIcons border_icons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = TPosition::poDesigned;
  int32_t pixels_per_inch_ = 96;
  int32_t text_height_ = 13;
  bool scaled_ = true;
  bool old_create_order_ = false;
  bool create_new_ = false;
  bool created_ = false;
  TNotifyEvent on_create_;
  TNotifyEvent on_destroy_;
  TWinControl* active_control_ = nullptr;
  TModalResult modal_result_ = mrNone;
  bool modal_ = false;
  bool release_after_modal_ = false;
  // The list of released forms waiting to be freed (see FreeReleasedForms): linked through the
  // forms themselves, so that it is plain data, intact at any point of the module's unloading.
  bool release_listed_ = false;
  TCustomForm* previous_released_ = nullptr;
  TCustomForm* next_released_ = nullptr;
  void ListReleased();
  void UnlistReleased();
  friend int FreeReleasedForms();
  // Ends when the form is freed, so that a posted release of a form already freed does nothing.
  TLifeMark life_;
};

class TForm : public TCustomForm {
  TVX_DECLARE_CLASS(TForm, TCustomForm)

  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  TForm(TComponent* owner, TCreateNew create_new) : TCustomForm(owner, create_new) {}

 protected:
  ~TForm() override = default;
};

// The forms that are shown, in the order in which they were shown; the last is the active one.
const std::vector<TCustomForm*>& ShownForms();
TCustomForm* ActiveForm();

// Frees at once every released form whose release is still waiting for the message loop, except
// those still in their modal loop; their posted releases then do nothing. For the module's end
// (its last plug-in object going, its unloading), when no message loop may run again before the
// module's code is gone. Returns how many forms were freed. Exceptions of their destruction
// go to the application's exception handling, and the others are freed all the same.
int FreeReleasedForms();

}  // namespace tvx
