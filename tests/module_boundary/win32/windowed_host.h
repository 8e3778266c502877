// A test host with real windows: its application object has a main window (the owner of the
// module's windows and boxes) and a message loop of its own, which the module's modal windows
// run through HandleMessage. Its main form offers IDirectoryAccess, its directory IDirectory, and
// its connection leads to the in-process test application server.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host_objects.h"

namespace tvx::test {

class WindowedHostApplication final : public HostObject<tavolex::IHostApplication> {
 public:
  // The application's title (of the module's error boxes) and its main window's.
  static constexpr wchar_t kTitle[] = L"Кадры";
  static constexpr wchar_t kMainWindowTitle[] = L"Кадры: сотрудники";

  // idle is the host's idle work: it runs whenever the host's loop finds no message waiting,
  // on every tick of the main window's timer (a few milliseconds), and whenever a message box
  // owned by the main window waits for input (WM_ENTERIDLE).
  explicit WindowedHostApplication(std::function<void()> idle);
  ~WindowedHostApplication() override;

  HWND MainWindow() const { return window_; }
  void SetMainForm(ComPtr<IUnknown> form) { main_form_ = std::move(form); }
  // Whether HandleMessage is offered; a host without it answers E_NOTIMPL.
  void SetLoopOffered(bool offered) { loop_offered_ = offered; }
  // How many messages (or idle waits) HandleMessage has handled for the module.
  int LoopTurns() const { return loop_turns_; }
  // Set once the host's loop has taken a quit message.
  bool Terminated() const { return terminated_; }
  // "Class: message" of each exception offered to the host's exception event.
  const std::vector<std::string>& Exceptions() const { return exceptions_; }

  // The host's own loop between calls into the module: handles every message waiting.
  void ProcessMessages();

  HRESULT STDMETHODCALLTYPE GetHandle(tavolex::WindowHandleValue* window) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetMainForm(IUnknown** form) override;
  HRESULT STDMETHODCALLTYPE GetTerminated(VARIANT_BOOL* terminated) override;
  HRESULT STDMETHODCALLTYPE HandleException(BSTR class_name, BSTR message,
                                            VARIANT_BOOL* handled) override;
  HRESULT STDMETHODCALLTYPE HandleMessage() override;

 private:
  void Handle(MSG& message);
  void Idle();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  std::function<void()> idle_;
  HWND window_ = nullptr;
  ComPtr<IUnknown> main_form_;
  bool loop_offered_ = true;
  int loop_turns_ = 0;
  bool terminated_ = false;
  std::vector<std::string> exceptions_;
};

// One host's objects, wired together.
struct WindowedHost {
  explicit WindowedHost(std::function<void()> idle);

  ComPtr<WindowedHostApplication> application;
  ComPtr<TestMainForm> main_form;
  ComPtr<TestDirectory> directory;
  ComPtr<TestConnection> connection;
  ComPtr<TestAppServer> server;
};

}  // namespace tvx::test
