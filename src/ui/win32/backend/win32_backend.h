// The backend that shows the control layer's forms as real Windows windows.
//
//   win32::Win32UserInterface ui;      // installs a Win32Backend for its lifetime
//   form->ShowModal();                 // runs on GetMessage/DispatchMessage
//
// Each control of a shown form gets a native peer (see window_peer.h and peer_catalog.h);
// the control layer keeps deciding every behaviour and the peers show its state and report
// what the user does. The backend runs the message loop, carries posted tasks through a
// message-only window of its own, keeps the other windows of the thread disabled while a form
// is modal or a message box is up, shows message boxes (owned by the modal form, if any), measures
// text with GDI, and reports the screen's resolution (GetDeviceCaps LOGPIXELSY, or a fixed value
// given for tests), from which forms designed at 96 pixels per inch are scaled.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/core/backend.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/peer_catalog.h"
#include "ui/win32/backend/thread_windows.h"
#include "ui/win32/backend/win32_api.h"
#include "ui/win32/theme/visual_styles.h"

namespace tvx::win32 {

struct Win32Options {
  // The resolution to report instead of the screen's (0: the screen's, as GetDeviceCaps gives
  // it). Tests use it to check scaling without changing the machine's setting.
  int pixels_per_inch = 0;
  // The resolution of the monitor that windows open on, instead of the one the system gives for
  // each window (0: the system's). Tests use it for a monitor whose resolution is not the
  // screen's.
  int window_pixels_per_inch = 0;
};

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(Win32Options options = {});
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  // What the peers use.
  PeerCatalog& Peers() { return peers_; }
  GdiCache& Gdi() { return gdi_; }
  const VisualStyles& Styles() const { return styles_; }
  // Registers one of our window classes (once; unregistered when the backend ends) with the
  // peers' window procedure, or with `procedure` for a window that is no control's peer (a
  // drop-down's popup).
  void EnsureClass(const std::wstring& name, UINT class_style, WNDPROC procedure = nullptr);
  // Moves the native focus to a window on the control layer's behalf; while it does, the
  // peers do not report the change back (and radio buttons do not take the focus as a click).
  void SetNativeFocus(HWND hwnd);
  bool SettingFocus() const { return setting_focus_ > 0; }
  // An exception caught at a window procedure. One deriving from std::exception goes to the
  // application object's exception handling; one that does not (or one that the handling
  // itself raises) is kept and raised again from the message loop, outside any window
  // procedure.
  void ReportEscaped(std::exception_ptr error);
  // Raises the exception that ReportEscaped kept, if any. The backend's loops do it after each
  // message; a loop run by someone else (a host's) calls it after each turn.
  void RethrowEscaped();
  // A length at the design resolution of 96 pixels per inch, on this screen.
  int Scale(int design_pixels);
  // The resolution a window is drawn at, where the system has one per window (GetDpiForWindow,
  // found at run time); 0 where it has none, or when a fixed resolution stands for the screen's
  // (Win32Options), unless the options give the windows' own.
  int WindowPixelsPerInch(HWND window) const;

  // The backend's interface.
  std::unique_ptr<ControlPeer> CreatePeer(TControl& control, WindowHandle owner) override;
  void BeginModal(TCustomForm& form) override;
  void EndModal(TCustomForm& form) override;
  void HandleMessage() override;
  void ProcessMessages() override;
  void Post(std::function<void()> task) override;
  TModalResult ShowMessageBox(const MessageBoxRequest& request) override;
  TSize MeasureText(const std::string& text, const TFont& font) override;
  // At a resolution of its own, where the system has the metrics per resolution (Windows 10
  // and later).
  FrameInsets FormFrame(TFormBorderStyle style, TBorderIcons icons,
                        int frame_pixels_per_inch) override;
  TRect WorkArea() override;
  int ScreenPixelsPerInch() override;

 private:
  struct ModalState {
    TCustomForm* form;
    std::unique_ptr<ThreadWindowsDisabled> disabled;
  };

  // The window of the innermost modal form, or null when no form is modal.
  HWND ActiveModalWindow() const;
  void HandleOne(MSG& msg);
  void QuitReceived(WPARAM code);
  void RunPostedTask();
  static LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  Win32Options options_;
  VisualStyles styles_;
  GdiCache gdi_;
  PeerCatalog peers_;
  std::set<std::wstring> classes_;
  HWND message_window_ = nullptr;
  // Text is measured in a memory DC kept for the backend's lifetime: the screen's DC costs a
  // round trip to the display each time, and the grid measures its rows often.
  HDC measure_dc_ = nullptr;
  std::deque<std::function<void()>> tasks_;
  std::vector<ModalState> modal_;
  std::exception_ptr escaped_;
  int setting_focus_ = 0;
  // A WM_QUIT that a modal loop took from the queue; posted again when the outermost modal
  // loop ends, so that the loop of whoever runs the thread ends too.
  bool quit_pending_ = false;
  WPARAM quit_code_ = 0;
};

// Installs a Win32Backend for its lifetime (the previous backend comes back afterwards).
class Win32UserInterface {
 public:
  explicit Win32UserInterface(Win32Options options = {});
  ~Win32UserInterface();
  Win32UserInterface(const Win32UserInterface&) = delete;
  Win32UserInterface& operator=(const Win32UserInterface&) = delete;

  Win32Backend& Backend() { return backend_; }

 private:
  Win32Backend backend_;
  tvx::Backend* previous_ = nullptr;
};

}  // namespace tvx::win32
