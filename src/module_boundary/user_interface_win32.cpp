// The windowed user interface: the Windows backend, made at the first entry into the module and
// ended when its last plug-in object goes (its window classes and its message window belong to
// the module's file, and must be gone before the file is unloaded, outside the loader lock). A
// modal loop hands each turn to the host's message loop, which dispatches the module's messages
// with its own; the deferred releases that the backend posts to its message window are handled
// by whichever loop runs.
#include "module_boundary/user_interface.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx {

namespace {

// Plain data: nothing ends it at the process's exit or at an unloading (see user_interface.h).
win32::Win32UserInterface* windows = nullptr;

win32::Win32UserInterface& Windows() {
  if (windows == nullptr) windows = new win32::Win32UserInterface();
  return *windows;
}

}  // namespace

void StartUserInterface() { Windows(); }

void StopUserInterface() {
  delete windows;
  windows = nullptr;
}

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
