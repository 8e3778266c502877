// The windowed user interface: the Windows backend, made once and kept until the module is
// unloaded (its window classes and its message window belong to the module's file). A modal
// loop hands each turn to the host's message loop, which dispatches the module's messages with
// its own; the deferred releases that the backend posts to its message window are handled by
// whichever loop runs.
#include "module/user_interface.h"
#include "ui/win32/win32_backend.h"

namespace tvx {

namespace {

win32::Win32UserInterface& Windows() {
  static win32::Win32UserInterface ui;
  return ui;
}

}  // namespace

void StartUserInterface() { Windows(); }

void HandleMessageThroughHost(IHostApplication& host) {
  win32::Win32Backend& backend = Windows().Backend();
  // A host whose loop cannot be called (it does not implement it, or the call fails) still
  // gets a working dialog: the backend's own loop handles the message instead.
  if (FAILED(host.HandleMessage())) {
    backend.HandleMessage();
    return;
  }
  // An exception kept by a window procedure that the host's loop dispatched leaves here, as it
  // would leave the backend's own loop.
  backend.RethrowEscaped();
}

}  // namespace tvx
