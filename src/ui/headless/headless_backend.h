// A backend without windows, for tests and for running the module where no window can open.
//
// Peers are plain records with made-up window handles. The message loop runs posted tasks
// first and then, while a form is modal, the scripted steps that a test queued; a modal loop
// with nothing left to run, and a message box that nobody answers, are failures: they are
// reported and end the run with HeadlessFailure instead of waiting for input that never
// comes. Every message box and every change of the focus is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/backend.h"

namespace tvx::headless {

// Ends a headless run that cannot go on. Deliberately not a std::exception: the
// application's exception handling lets it pass instead of showing it in a box.
class HeadlessFailure {
 public:
  explicit HeadlessFailure(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

struct RecordedBox {
  TMsgDlgType kind = TMsgDlgType::mtInformation;
  std::string title;
  std::string text;
  TMsgDlgButtons buttons;
  WindowHandle owner = 0;
  TModalResult answer = mrNone;
};

// The focus moved to `control` (empty: to the form itself) of form `form`, named by their
// component names.
struct FocusRecord {
  std::string form;
  std::string control;
  friend bool operator==(const FocusRecord&, const FocusRecord&) = default;
};

// A form's window was created, owned by `owner`.
struct WindowRecord {
  std::string form;
  WindowHandle handle = 0;
  WindowHandle owner = 0;
};

class HeadlessBackend : public Backend {
 public:
  using Step = std::function<void(TCustomForm& modal_form)>;
  using BoxAnswerer = std::function<TModalResult(const RecordedBox& box)>;

  HeadlessBackend();
  ~HeadlessBackend() override;

  // How failures are reported (besides standard error) before HeadlessFailure is thrown.
  void SetFailureReporter(std::function<void(const std::string&)> reporter);
  [[noreturn]] void Fail(const std::string& message);

  // A step to run, with the active form, the next time a modal loop waits for input.
  void QueueStep(Step step) { steps_.push_back(std::move(step)); }
  size_t PendingSteps() const { return steps_.size(); }

  // The answer to the next message box (queued answers come before the answerer).
  void QueueAnswer(TModalResult answer) { answers_.push_back(answer); }
  void SetBoxAnswerer(BoxAnswerer answerer) { answerer_ = std::move(answerer); }
  size_t PendingAnswers() const { return answers_.size(); }

  const std::vector<RecordedBox>& Boxes() const { return boxes_; }
  const std::vector<FocusRecord>& FocusChanges() const { return focus_changes_; }
  const std::vector<WindowRecord>& Windows() const { return windows_; }
  size_t PostedCount() const { return posted_.size(); }

  void SetScreenPixelsPerInch(int value) { pixels_per_inch_ = value; }
  void SetWorkArea(TRect area) { work_area_ = area; }

  // The backend's interface.
  std::unique_ptr<ControlPeer> CreatePeer(TControl& control, WindowHandle owner) override;
  void BeginModal(TCustomForm& form) override;
  void EndModal(TCustomForm& form) override;
  void HandleMessage() override;
  void ProcessMessages() override;
  void Post(std::function<void()> task) override;
  TModalResult ShowMessageBox(const MessageBoxRequest& request) override;
  TSize MeasureText(const std::string& text, const TFont& font) override;
  FrameInsets FormFrame(TFormBorderStyle style, TBorderIcons icons,
                        int frame_pixels_per_inch) override;
  TRect WorkArea() override { return work_area_; }
  int ScreenPixelsPerInch() override { return pixels_per_inch_; }

 private:
  friend class HeadlessPeer;
  void RecordFocus(const TCustomForm& form);

  std::function<void(const std::string&)> reporter_;
  std::deque<Step> steps_;
  std::deque<TModalResult> answers_;
  BoxAnswerer answerer_;
  std::deque<std::function<void()>> posted_;
  std::vector<RecordedBox> boxes_;
  std::vector<FocusRecord> focus_changes_;
  std::vector<WindowRecord> windows_;
  std::vector<TCustomForm*> modal_forms_;
  WindowHandle next_handle_ = 0x10000;
  int pixels_per_inch_ = 96;
  TRect work_area_{0, 0, 1280, 1024};
};

}  // namespace tvx::headless
