#include "ui/headless/headless_backend.h"

#include <algorithm>
#include <iostream>

#include "ui/core/font.h"
#include "ui/core/form.h"

namespace tvx::headless {

namespace {

// More posted tasks than this in one ProcessMessages means tasks that keep posting tasks.
constexpr int kMaxPostedInOneGo = 100000;

std::string FormName(const TCustomForm& form) {
  return form.Name().empty() ? form.ClassName() : form.Name();
}

std::string ButtonsText(TMsgDlgButtons buttons) {
  std::string text;
  auto add = [&](TMsgDlgBtn button, const char* name) {
    if (!buttons.Contains(button)) return;
    if (!text.empty()) text += '+';
    text += name;
  };
  add(mbYes, "Yes");
  add(mbNo, "No");
  add(mbOK, "OK");
  add(mbCancel, "Cancel");
  return text;
}

bool IsButtonOf(TModalResult answer, TMsgDlgButtons buttons) {
  switch (answer) {
    case mrOk:
      return buttons.Contains(mbOK);
    case mrCancel:
      return buttons.Contains(mbCancel);
    case mrYes:
      return buttons.Contains(mbYes);
    case mrNo:
      return buttons.Contains(mbNo);
    default:
      return false;
  }
}

}  // namespace

// The record that stands for a native window.
class HeadlessPeer : public ControlPeer {
 public:
  HeadlessPeer(HeadlessBackend& backend, TControl& control, WindowHandle handle)
      : backend_(backend), control_(control), handle_(handle) {}
  WindowHandle Handle() const override { return handle_; }
  void Changed(ControlChange change) override {
    if (change != ControlChange::Focus) return;
    if (const auto* form = dynamic_cast<const TCustomForm*>(&control_); form != nullptr) {
      backend_.RecordFocus(*form);
    }
  }

 private:
  HeadlessBackend& backend_;
  TControl& control_;
  WindowHandle handle_;
};

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::SetFailureReporter(std::function<void(const std::string&)> reporter) {
  reporter_ = std::move(reporter);
}

void HeadlessBackend::Fail(const std::string& message) {
  // Also on standard error: a failure inside a handler that may not throw (a creation event)
  // ends the program, and the message must survive that.
  std::cerr << "headless user interface: " << message << std::endl;
  if (reporter_) reporter_(message);
  throw HeadlessFailure(message);
}

std::unique_ptr<ControlPeer> HeadlessBackend::CreatePeer(TControl& control, WindowHandle owner) {
  const WindowHandle handle = next_handle_++;
  if (const auto* form = dynamic_cast<const TCustomForm*>(&control); form != nullptr) {
    windows_.push_back(WindowRecord{FormName(*form), handle, owner});
  }
  return std::make_unique<HeadlessPeer>(*this, control, handle);
}

void HeadlessBackend::BeginModal(TCustomForm& form) { modal_forms_.push_back(&form); }

void HeadlessBackend::EndModal(TCustomForm& form) {
  modal_forms_.erase(std::remove(modal_forms_.begin(), modal_forms_.end(), &form),
                     modal_forms_.end());
}

void HeadlessBackend::HandleMessage() {
  if (!posted_.empty()) {
    std::function<void()> task = std::move(posted_.front());
    posted_.pop_front();
    task();
    return;
  }
  TCustomForm* form = ActiveForm();
  if (form == nullptr) Fail("the message loop waits for input, but no form is shown");
  if (steps_.empty()) {
    Fail("form '" + FormName(*form) + "' waits for input (modal: " +
         (form->Modal() ? "yes" : "no") + "), and no scripted step is left");
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step(*form);
}

void HeadlessBackend::ProcessMessages() {
  for (int handled = 0; !posted_.empty(); ++handled) {
    if (handled == kMaxPostedInOneGo) Fail("posted tasks keep posting tasks");
    std::function<void()> task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
}

void HeadlessBackend::Post(std::function<void()> task) { posted_.push_back(std::move(task)); }

TModalResult HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
  RecordedBox box{request.kind,    request.title, request.text,
                  request.buttons, request.owner, mrNone};
  boxes_.push_back(box);
  const std::string described = "message box \"" + request.title + "\": \"" + request.text +
                                "\" [" + ButtonsText(request.buttons) + "]";
  if (!answers_.empty()) {
    box.answer = answers_.front();
    answers_.pop_front();
  } else if (answerer_) {
    box.answer = answerer_(box);
  } else {
    Fail("nobody answers the " + described);
  }
  if (!IsButtonOf(box.answer, request.buttons)) {
    Fail("the answer " + std::to_string(box.answer) + " is no button of the " + described);
  }
  boxes_.back().answer = box.answer;
  return box.answer;
}

TSize HeadlessBackend::MeasureText(const std::string& text, const TFont& font) {
  // Every character is half the font's height wide (rounded up), one pixel more in bold; a
  // line is two pixels higher than the characters.
  int32_t characters = 0;
  for (unsigned char byte : text) {
    if ((byte & 0xC0) != 0x80) ++characters;
  }
  const int32_t width = (font.PixelHeight() + 1) / 2 + (font.Style().Contains(fsBold) ? 1 : 0);
  return TSize{characters * width, font.PixelHeight() + 2};
}

FrameInsets HeadlessBackend::FormFrame(TFormBorderStyle style, TBorderIcons /*icons*/,
                                       int /*frame_pixels_per_inch*/) {
  switch (style) {
    case TFormBorderStyle::bsNone:
      return FrameInsets{0, 0, 0, 0};
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsDialog:
      return FrameInsets{3, 25, 3, 3};
    case TFormBorderStyle::bsToolWindow:
      return FrameInsets{3, 19, 3, 3};
    case TFormBorderStyle::bsSizeToolWin:
      return FrameInsets{4, 20, 4, 4};
    case TFormBorderStyle::bsSizeable:
      return FrameInsets{4, 30, 4, 4};
  }
  return FrameInsets{};
}

void HeadlessBackend::RecordFocus(const TCustomForm& form) {
  if (!form.Active()) return;
  const TWinControl* control = form.ActiveControl();
  FocusRecord record{FormName(form), control != nullptr ? control->Name() : std::string()};
  if (!focus_changes_.empty() && focus_changes_.back() == record) return;
  focus_changes_.push_back(std::move(record));
}

}  // namespace tvx::headless
