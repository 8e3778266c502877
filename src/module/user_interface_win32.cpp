// The windowed user interface: the Windows backend, made once and kept until the module is
// unloaded (its window classes and its message window belong to the module's file).
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

}  // namespace tvx
