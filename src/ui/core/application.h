// The application object: the owner window of the module's top-level windows and message
// boxes, the message loop that modal windows run through, and the handling of exceptions
// that escape event handlers.
//
// The module holds one module-wide reference to an application object (Application()).
// At first use it is the module's own, which has no window; a host's application object
// (a class derived from this one whose state comes from the host) can be made current with
// SetApplication and the module's own put back later.
#pragma once

#include <exception>
#include <string>

#include "classes/component.h"
#include "classes/events.h"
#include "ui/core/ui_types.h"

namespace tvx {

using TExceptionEvent = TEvent<const std::exception&>;

class TApplication : public TComponent {
  TVX_DECLARE_CLASS(TApplication, TComponent)

  explicit TApplication(TComponent* owner);

  // The window that owns the module's top-level windows and message boxes (0: none).
  virtual WindowHandle Handle() const { return handle_; }
  void SetHandle(WindowHandle handle) { handle_ = handle; }
  // The title of the error boxes that exception handling shows.
  virtual std::string Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  // The application's main window object, if any.
  virtual TComponent* MainForm() const { return main_form_; }
  void SetMainForm(TComponent* form) { main_form_ = form; }

  // Once terminating, modal loops end with mrCancel.
  virtual bool Terminated() const { return terminated_; }
  virtual void Terminate() { terminated_ = true; }

  // Handles one message, waiting for one when none is pending (through the backend).
  virtual void HandleMessage();
  // Handles every pending message without waiting.
  virtual void ProcessMessages();

  TExceptionEvent& OnException() { return on_exception_; }
  // Exception handling for an exception that escaped an event handler: a silent abort
  // (EAbort) is dropped; otherwise OnException runs when set, else ShowException. An
  // exception that does not derive from std::exception is not the application's to report
  // and passes on unchanged.
  void HandleException(std::exception_ptr error);
  virtual void HandleException(const std::exception& error);
  // An error box with the application's title and the exception's message, a full stop
  // appended when its last character sorts after ".", and one OK button.
  virtual void ShowException(const std::exception& error);

 protected:
  ~TApplication() override;

 private:
  WindowHandle handle_ = 0;
  std::string title_;
  TComponent* main_form_ = nullptr;
  bool terminated_ = false;
  TExceptionEvent on_exception_;
};

// The text of an exception as the operator reads it.
std::string ExceptionMessage(const std::exception& error);
// The message of an error box: a full stop appended when the last character sorts after ".".
std::string WithFullStop(std::string message);

// The module's application object: the current one, the module's own (created at first use,
// without a window) unless another has been made current.
TApplication* Application();
// Makes application current (null puts the module's own back) and returns the previous one.
TApplication* SetApplication(TApplication* application);
// The module's own application object.
TApplication* ModuleApplication();

}  // namespace tvx
