#include "ui/core/form.h"

#include <algorithm>

#include "classes/application_hooks.h"
#include "classes/class_builder.h"
#include "classes/description.h"
#include "rtl/exceptions.h"
#include "ui/controls/button.h"
#include "ui/core/application.h"
#include "ui/core/initialize_ui.h"

namespace tvx {

namespace {

constexpr const char* kCannotFocus = "Cannot focus a disabled or invisible window";

// The first of the released forms waiting to be freed; plain data (see TCustomForm).
TCustomForm* first_released = nullptr;

std::vector<TCustomForm*>& Shown() {
  static std::vector<TCustomForm*> forms;
  return forms;
}

const TEnumNames<TFormBorderStyle> kBorderStyleNames = {
    {"bsNone", TFormBorderStyle::bsNone},
    {"bsSingle", TFormBorderStyle::bsSingle},
    {"bsSizeable", TFormBorderStyle::bsSizeable},
    {"bsDialog", TFormBorderStyle::bsDialog},
    {"bsToolWindow", TFormBorderStyle::bsToolWindow},
    {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}};
const TEnumNames<TBorderIcon> kBorderIconNames = {{"biSystemMenu", biSystemMenu},
                                                  {"biMinimize", biMinimize},
                                                  {"biMaximize", biMaximize},
                                                  {"biHelp", biHelp}};
const TEnumNames<TPosition> kPositionNames = {{"poDesigned", TPosition::poDesigned},
                                              {"poDefault", TPosition::poDefault},
                                              {"poDefaultPosOnly", TPosition::poDefaultPosOnly},
                                              {"poDefaultSizeOnly", TPosition::poDefaultSizeOnly},
                                              {"poScreenCenter", TPosition::poScreenCenter},
                                              {"poDesktopCenter", TPosition::poDesktopCenter},
                                              {"poMainFormCenter", TPosition::poMainFormCenter},
                                              {"poOwnerFormCenter", TPosition::poOwnerFormCenter}};

}  // namespace

TVX_IMPLEMENT_CLASS(TCustomForm) {
  TVX_NAMED_PROPERTY(BorderStyle, kBorderStyleNames, "TFormBorderStyle");
  TVX_NAMED_PROPERTY(BorderIcons, kBorderIconNames, "TBorderIcons");
  TVX_NAMED_PROPERTY(Position, kPositionNames, "TPosition");
  TVX_PROPERTY(ClientWidth);
  TVX_PROPERTY(ClientHeight);
  TVX_PROPERTY(PixelsPerInch);
  TVX_PROPERTY(TextHeight);
  TVX_PROPERTY(Scaled);
  TVX_PROPERTY(OldCreateOrder);
  TVX_PROPERTY(ActiveControl);
  c.Event("OnCreate", &TCustomForm::OnCreate);
  c.Event("OnDestroy", &TCustomForm::OnDestroy);
}

TVX_IMPLEMENT_CLASS(TForm) {}

const std::vector<TCustomForm*>& ShownForms() { return Shown(); }

TCustomForm* ActiveForm() { return Shown().empty() ? nullptr : Shown().back(); }

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  InitializeUi();
  StoreVisible(false);
  InitBounds(TBounds{0, 0, 320, 240});
}

TCustomForm::TCustomForm(TComponent* owner, TCreateNew) : TCustomForm(owner) { create_new_ = true; }

TCustomForm::~TCustomForm() {
  UnlistReleased();
  if (Visible()) HideWindow();
  DestroyChildren();
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  const TClassInfo& own = ClassType();
  if (!create_new_ && &own != &TForm::StaticClass() && &own != &TCustomForm::StaticClass()) {
    if (!InitInheritedComponent(this, TCustomForm::StaticClass())) {
      throw EResNotFound("Resource not found: " + own.Name());
    }
  }
  created_ = true;
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  if (created_ && !old_create_order_) DoDestroy();
  if (Visible()) HideWindow();
  if (created_ && old_create_order_) DoDestroy();
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  try {
    on_create_.Fire(this);
  } catch (...) {
    ApplicationHandleException(this, std::current_exception());
  }
}

void TCustomForm::DoDestroy() {
  try {
    on_destroy_.Fire(this);
  } catch (...) {
    ApplicationHandleException(this, std::current_exception());
  }
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (active_control_ != nullptr && active_control_->ParentForm() != this) {
    active_control_ = nullptr;
  }
  if (scaled_ && pixels_per_inch_ > 0) {
    ScaleToResolution(UiBackend().ScreenPixelsPerInch(), frame_pixels_per_inch_);
  }
  Realign();
}

void TCustomForm::ScaleToResolution(int32_t pixels_per_inch, int32_t frame_pixels_per_inch) {
  if (pixels_per_inch > 0 && pixels_per_inch_ > 0 && pixels_per_inch != pixels_per_inch_) {
    ChangeScale(pixels_per_inch, pixels_per_inch_);
    pixels_per_inch_ = pixels_per_inch;
  }
  if (frame_pixels_per_inch != frame_pixels_per_inch_) {
    // The client keeps its size; the frame around it is the one of the new resolution.
    const TSize client = ClientSize();
    frame_pixels_per_inch_ = frame_pixels_per_inch;
    SetClientSize(client.cx, client.cy);
  }
  if (!Loading()) Realign();
}

WindowHandle TCustomForm::Handle() const { return Peer() != nullptr ? Peer()->Handle() : 0; }

FrameInsets TCustomForm::Frame() const {
  return UiBackend().FormFrame(border_style_, border_icons_, frame_pixels_per_inch_);
}

TSize TCustomForm::ClientSize() const {
  const FrameInsets frame = Frame();
  return TSize{std::max(0, Width() - frame.left - frame.right),
               std::max(0, Height() - frame.top - frame.bottom)};
}

void TCustomForm::SetClientSize(int32_t width, int32_t height) {
  const FrameInsets frame = Frame();
  SetBounds(Left(), Top(), width + frame.left + frame.right, height + frame.top + frame.bottom);
}

void TCustomForm::SetClientWidth(int32_t width) { SetClientSize(width, ClientHeight()); }

void TCustomForm::SetClientHeight(int32_t height) { SetClientSize(ClientWidth(), height); }

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == border_style_) return;
  const TSize client = ClientSize();
  border_style_ = style;
  Changed(ControlChange::Appearance);
  if (Loading()) {
    // A description gives the client size whatever the order of its values.
    SetClientSize(client.cx, client.cy);
  } else {
    BoundsChanged(client, false);
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == border_icons_) return;
  const TSize client = ClientSize();
  border_icons_ = icons;
  Changed(ControlChange::Appearance);
  if (Loading()) {
    SetClientSize(client.cx, client.cy);
  } else {
    BoundsChanged(client, false);
  }
}

void TCustomForm::ChangeScale(int32_t m, int32_t d) {
  if (m == d || d == 0) return;
  const TSize client = ClientSize();
  {
    const TFlagScope laying_out = LayingOut();
    Font()->SetHeight(MulDiv(Font()->Height(), m, d));
    ScaleChildren(m, d);
  }
  const FrameInsets frame = Frame();
  SetBoundsQuiet(TBounds{Left(), Top(), MulDiv(client.cx, m, d) + frame.left + frame.right,
                         MulDiv(client.cy, m, d) + frame.top + frame.bottom});
  CaptureChildrenAnchors();
}

bool TCustomForm::Active() const { return Visible() && ActiveForm() == this; }

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (Loading()) {
    active_control_ = control;
    return;
  }
  if (control != nullptr &&
      (control->ParentForm() != this || control == this || !control->CanFocus())) {
    throw EInvalidOperation(kCannotFocus);
  }
  FocusControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (control == this) control = nullptr;
  if (control == active_control_) return;
  if (control != nullptr && (control->ParentForm() != this || !control->CanFocus())) {
    throw EInvalidOperation(kCannotFocus);
  }
  const bool live = Active();
  if (live && active_control_ != nullptr) {
    try {
      active_control_->DoExit();
    } catch (...) {
      // The control keeps the focus; the native focus goes back to it.
      FocusChangedNotify();
      throw;
    }
    // The exit hook may have moved the focus itself.
    if (control != nullptr && !control->CanFocus()) return;
  }
  active_control_ = control;
  if (live) {
    FocusChangedNotify();
    if (control != nullptr) control->DoEnter();
  }
}

void TCustomForm::FocusChangedNotify() { Changed(ControlChange::Focus); }

void TCustomForm::ControlHiddenOrRemoved(TPassKey<TControl>, const TControl* control) {
  if (active_control_ == nullptr) return;
  for (const TControl* c = active_control_; c != nullptr; c = c->Parent()) {
    if (c == control) {
      active_control_ = nullptr;
      if (Active()) FocusChangedNotify();
      return;
    }
  }
}

void TCustomForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (visible) {
    ShowWindow();
  } else {
    if (modal_) throw EInvalidOperation("Cannot hide a modal window");
    HideWindow();
  }
}

void TCustomForm::ShowWindow() {
  Backend& backend = UiBackend();
  if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter ||
      position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
    const TRect area = backend.WorkArea();
    SetBounds(area.left + (area.Width() - Width()) / 2, area.top + (area.Height() - Height()) / 2,
              Width(), Height());
  }
  StoreVisible(true);
  Shown().push_back(this);
  try {
    CreatePeers(Application()->Handle());
  } catch (...) {
    DestroyPeers();
    Shown().erase(std::remove(Shown().begin(), Shown().end(), this), Shown().end());
    StoreVisible(false);
    throw;
  }
  Changed(ControlChange::Visible);
  if (active_control_ == nullptr || !active_control_->CanFocus()) {
    active_control_ = FindNextControl(nullptr, true, true);
  }
  FocusChangedNotify();
  if (active_control_ != nullptr) active_control_->DoEnter();
}

void TCustomForm::HideWindow() {
  StoreVisible(false);
  Changed(ControlChange::Visible);
  DestroyPeers();
  auto& shown = Shown();
  shown.erase(std::remove(shown.begin(), shown.end(), this), shown.end());
  if (TCustomForm* now_active = ActiveForm()) now_active->FocusChangedNotify();
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  Backend& backend = UiBackend();
  modal_result_ = mrNone;
  Show();
  modal_ = true;
  backend.BeginModal(*this);
  auto finish = [&] {
    modal_ = false;
    backend.EndModal(*this);
    if (Visible()) HideWindow();
    if (release_after_modal_) {
      release_after_modal_ = false;
      Release();
    }
  };
  try {
    for (;;) {
      if (Application()->Terminated()) {
        modal_result_ = mrCancel;
        break;
      }
      if (modal_result_ != mrNone) break;
      Application()->HandleMessage();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return modal_result_;
}

void TCustomForm::Close() {
  if (modal_) {
    modal_result_ = mrCancel;
  } else if (Visible()) {
    HideWindow();
  }
}

void TCustomForm::Release() {
  ListReleased();
  UiBackend().Post([this, alive = life_.Watch()] {
    if (alive.expired()) return;
    if (modal_) {
      release_after_modal_ = true;
      return;
    }
    Free();
  });
}

void TCustomForm::ListReleased() {
  if (release_listed_) return;
  release_listed_ = true;
  previous_released_ = nullptr;
  next_released_ = first_released;
  if (first_released != nullptr) first_released->previous_released_ = this;
  first_released = this;
}

void TCustomForm::UnlistReleased() {
  if (!release_listed_) return;
  release_listed_ = false;
  if (previous_released_ != nullptr) {
    previous_released_->next_released_ = next_released_;
  } else {
    first_released = next_released_;
  }
  if (next_released_ != nullptr) next_released_->previous_released_ = previous_released_;
  previous_released_ = next_released_ = nullptr;
}

int FreeReleasedForms() {
  int freed = 0;
  // Freeing a form may free or release others (the forms it owns): start over from the head
  // after each one.
  for (;;) {
    TCustomForm* form = first_released;
    while (form != nullptr && form->modal_) form = form->next_released_;
    if (form == nullptr) return freed;
    form->UnlistReleased();
    try {
      form->Free();
    } catch (...) {
      ApplicationHandleException(nullptr, std::current_exception());
    }
    ++freed;
  }
}

TButton* TCustomForm::FindButton(bool want_default) const {
  for (TWinControl* control : TabOrderList()) {
    auto* button = dynamic_cast<TButton*>(control);
    if (button != nullptr && (want_default ? button->Default() : button->Cancel()) &&
        button->Reachable()) {
      return button;
    }
  }
  return nullptr;
}

TButton* TCustomForm::DefaultButton() const { return FindButton(true); }

TButton* TCustomForm::CancelButton() const { return FindButton(false); }

bool TCustomForm::HandleDialogKey(KeyCode key, ShiftState shift) {
  if (shift.ctrl || shift.alt) return false;
  switch (key) {
    case kVkTab:
      SelectNext(active_control_, !shift.shift, true);
      return true;
    case kVkReturn:
    case kVkEscape: {
      if (shift.shift) return false;
      TButton* button = key == kVkReturn ? DefaultButton() : CancelButton();
      if (button == nullptr) return false;
      button->UserClick();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tvx
