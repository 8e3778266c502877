// Drives the control layer the way a user would, without windows: installs a headless
// backend for its lifetime and acts on the active form (clicks, typing, keys, the close
// box), queues what happens while forms are modal, answers message boxes and gives the
// records of boxes and focus changes.
//
//   HeadlessDriver ui;
//   ui.WhenModal([&](TCustomForm&) { ui.Click("btnShowHistory"); });  // opens a nested form
//   ui.WhenModal([&](TCustomForm&) { ui.Click("btnOK"); });            // closes the nested one
//   ui.WhenModal([&](TCustomForm&) { ui.Click("btnCancel"); });        // closes the outer one
//   ui.AnswerBox(mrOk);
//   form->ShowModal();
#pragma once

#include <string>

#include "ui/core/form.h"
#include "ui/headless/headless_backend.h"

namespace tvx::headless {

class HeadlessDriver {
 public:
  // Installs the backend (the previous one comes back when the driver ends).
  HeadlessDriver();
  ~HeadlessDriver();
  HeadlessDriver(const HeadlessDriver&) = delete;
  HeadlessDriver& operator=(const HeadlessDriver&) = delete;

  HeadlessBackend& Backend() { return backend_; }
  void SetFailureReporter(std::function<void(const std::string&)> reporter) {
    backend_.SetFailureReporter(std::move(reporter));
  }

  // Scripting: a step for the next time a modal loop waits for input; answers for boxes.
  void WhenModal(HeadlessBackend::Step step) { backend_.QueueStep(std::move(step)); }
  void AnswerBox(TModalResult answer) { backend_.QueueAnswer(answer); }
  void SetBoxAnswerer(HeadlessBackend::BoxAnswerer answerer) {
    backend_.SetBoxAnswerer(std::move(answerer));
  }

  // The active form (the last shown); a failure when no form is shown.
  TCustomForm& ActiveForm();
  // The control of that name in the active form; a failure when there is none.
  TControl& Find(const std::string& name);
  template <class T>
  T& Find(const std::string& name) {
    auto* control = dynamic_cast<T*>(&Find(name));
    if (control == nullptr) backend_.Fail("control '" + name + "' is of another class");
    return *control;
  }

  // A click on a control of the active form; a failure when the user could not click it
  // (hidden or disabled, itself or a parent). TryClick says so instead.
  void Click(TControl& control);
  void Click(const std::string& name) { Click(Find(name)); }
  bool TryClick(TControl& control);
  // Keys and text for the focused control of the active form.
  void Press(KeyCode key, ShiftState shift = kNoShift);
  void Type(const std::string& text);
  // Moves the focus as a click into a control would, without clicking it.
  bool Focus(TWinControl& control);
  // The close box of a form's title bar.
  void CloseBox(TCustomForm& form);
  void CloseBox() { CloseBox(ActiveForm()); }
  void Resize(TCustomForm& form, int32_t client_width, int32_t client_height);
  // Handles the posted messages (deferred releases, for instance).
  void ProcessMessages() { backend_.ProcessMessages(); }

  // The focused control of the active form (null: the form itself or no form).
  TWinControl* Focused();
  const std::vector<RecordedBox>& Boxes() const { return backend_.Boxes(); }
  const std::vector<FocusRecord>& FocusChanges() const { return backend_.FocusChanges(); }

 private:
  std::string Describe(const TControl& control) const;

  HeadlessBackend backend_;
  tvx::Backend* previous_ = nullptr;
};

}  // namespace tvx::headless
