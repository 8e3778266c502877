#include "probe_form.h"

namespace tvx::test {

int TProbeForm::destroyed = 0;

template <class T>
T* TProbeForm::Add(TWinControl* parent, const char* name, TBounds bounds, const char* caption) {
  T* control = Create<T>(this);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(bounds.left, bounds.top, bounds.width, bounds.height);
  control->SetCaption(caption);
  return control;
}

TProbeForm::TProbeForm(TComponent* owner) : TForm(owner, kCreateNew) {
  SetName("ProbeForm");
  SetCaption("Probe");
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(TPosition::poScreenCenter);
  SetClientSize(300, 200);
  first = Add<TRadioButton>(this, "first", {8, 8, 200, 17}, "First");
  second = Add<TRadioButton>(this, "second", {8, 32, 200, 17}, "Second");
  second->SetChecked(true);
  panel = Add<TPanel>(this, "panel", {8, 56, 284, 90}, "");
  label = Add<TLabel>(panel, "label", {16, 8, 0, 0}, "A label");
  label->OnClick().Bind(this, [this](TObject*) { ++label_clicks; });
  inner = Add<TButton>(panel, "inner", {16, 40, 100, 25}, "Inner");
  run = Add<TButton>(this, "run", {136, 160, 75, 25}, "Run");
  run->OnClick().Bind(this, [this](TObject*) {
    if (on_run) on_run(*this);
  });
  cancel = Add<TButton>(this, "cancel", {217, 160, 75, 25}, "Cancel");
  cancel->SetModalResult(mrCancel);
}

}  // namespace tvx::test
